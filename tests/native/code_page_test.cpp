// Whether text read in the ANSI code page is still the text the user gave.
#include <gtest/gtest.h>

#include "app/code_page.h"

namespace {

struct ReadBackCase {
    const char* name;
    const wchar_t* given;
    const wchar_t* readBack;
    bool exact;
};

class ReadBack : public testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBack, IsExactOnlyWhenEveryUnitAndTheLengthAgree)
{
    const ReadBackCase& c = GetParam();
    EXPECT_EQ(ReadsBackExactly(c.given, c.readBack), c.exact);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadBack,
    testing::Values(ReadBackCase{"Same", L"Users", L"Users", true},
                    ReadBackCase{"Japanese", L"\u8868\u793A", L"\u8868\u793A", true},
                    ReadBackCase{"BothEmpty", L"", L"", true},
                    ReadBackCase{"BestFit", L"Jos\u00E9", L"Jose", false},
                    ReadBackCase{"Unmapped", L"\uD55C", L"?", false},
                    ReadBackCase{"SurrogatePair",
                                 L"a\xD83D\xDE00"
                                 L"b",
                                 L"a??b", false},
                    ReadBackCase{"ReadBackLonger", L"Use", L"Users", false},
                    ReadBackCase{"ReadBackShorter", L"Users", L"Use", false},
                    ReadBackCase{"ReadBackEmpty", L"Users", L"", false}),
    [](const testing::TestParamInfo<ReadBackCase>& info) { return info.param.name; });

}  // namespace
