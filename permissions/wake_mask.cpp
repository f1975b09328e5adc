#include "permissions/wake_mask.h"

uint32_t WakeMaskForReportedVersion(uint32_t reportedVersion)
{
    uint32_t major = reportedVersion & 0xFF;
    uint32_t minor = (reportedVersion >> 8) & 0xFF;
    // Compared as one number: 6.2 and later, 5.1 and later.
    uint32_t version = major << 8 | minor;
    if (version >= 0x0602)
        return kWakeMaskWindows8;
    if (version >= 0x0501)
        return kWakeMaskXp;
    return kWakeMaskNt4;
}
