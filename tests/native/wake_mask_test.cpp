// The kinds of input the wait for a step asks of each Windows version: only
// those that version defines.
#include <gtest/gtest.h>

#include <stdint.h>

#include "permissions/wake_mask.h"

namespace {

struct VersionCase {
    const char* name;
    uint32_t major, minor;
    uint32_t mask;
};

class WakeMask : public testing::TestWithParam<VersionCase> {};

// As GetVersion reports it: the major version in the lowest byte, the minor
// in the next, and the build and platform above them (an NT build here).
uint32_t Reported(uint32_t major, uint32_t minor, uint32_t build)
{
    return major | minor << 8 | build << 16;
}

TEST_P(WakeMask, HoldsEveryKindOfInputThatVersionDefinesAndNoOther)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(WakeMaskForReportedVersion(Reported(c.major, c.minor, 1381)), c.mask);
    EXPECT_EQ(WakeMaskForReportedVersion(Reported(c.major, c.minor, 0x7FFF)), c.mask);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WakeMask,
    testing::Values(VersionCase{"Nt40", 4, 0, 0x00FF}, VersionCase{"Windows2000", 5, 0, 0x00FF},
                    VersionCase{"WindowsXp", 5, 1, 0x04FF},
                    VersionCase{"Server2003AndXpX64", 5, 2, 0x04FF},
                    VersionCase{"Vista", 6, 0, 0x04FF}, VersionCase{"Windows7", 6, 1, 0x04FF},
                    VersionCase{"Windows8", 6, 2, 0x1CFF}, VersionCase{"Windows81", 6, 3, 0x1CFF},
                    VersionCase{"Windows10", 10, 0, 0x1CFF}),
    [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

}  // namespace
