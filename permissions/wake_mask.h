// Which kinds of input wake the wait for a step's child: every kind that the
// running Windows defines, and no other. Later Windows versions added kinds
// of input, each with a bit of its own; an older one never defined those
// bits, and a mask holding them lies outside its contract for the wait.
#pragma once

#include <stdint.h>

// QS_ALLINPUT as NT 4.0 and 2000 define it: keys, mouse moves and buttons,
// posted messages, timers, painting, hot keys and sent messages.
constexpr uint32_t kWakeMaskNt4 = 0x00FF;
// XP added raw input (QS_RAWINPUT).
constexpr uint32_t kWakeMaskXp = kWakeMaskNt4 | 0x0400;
// Windows 8 added touch and pen input (QS_TOUCH, QS_POINTER). There they
// must wake the wait too, or Windows takes the program for hung.
constexpr uint32_t kWakeMaskWindows8 = kWakeMaskXp | 0x0800 | 0x1000;

// The mask for the version that GetVersion reports: the major version in
// its lowest byte, the minor one in the next.
uint32_t WakeMaskForReportedVersion(uint32_t reportedVersion);
