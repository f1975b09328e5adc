// The rules of text in the ANSI code page: where a character starts, and
// whether text read in it is still the text the user gave.
#include <gtest/gtest.h>

#include "app/code_page.h"
#include "tests/support/code_pages.h"

namespace {

// The rule is the system's: the lead-byte ranges it reports, up to the first
// pair of zeros. Under UTF-8 no byte is a lead byte, whatever is reported.
TEST(LeadByteRule, FollowsTheReportedRangesAndNoneUnderUtf8)
{
    const unsigned char reported[kLeadByteRangesSize] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0xA0, 0xA0};
    LeadByteRule rule = MakeLeadByteRule(932, reported);
    for (unsigned byte : {0x81u, 0x9Fu, 0xE0u, 0xFCu})
        EXPECT_TRUE(IsLeadByte(rule, static_cast<unsigned char>(byte))) << byte;
    for (unsigned byte : {0x00u, 0x5Cu, 0x80u, 0xA0u, 0xC4u, 0xDFu, 0xFDu, 0xFFu})
        EXPECT_FALSE(IsLeadByte(rule, static_cast<unsigned char>(byte))) << byte;

    LeadByteRule utf8 = MakeLeadByteRule(kUtf8CodePage, reported);
    LeadByteRule none = MakeLeadByteRule(1252, nullptr);
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(IsLeadByte(utf8, static_cast<unsigned char>(byte))) << byte;
        EXPECT_FALSE(IsLeadByte(none, static_cast<unsigned char>(byte))) << byte;
    }
}

struct EndCase {
    const char* name;
    LeadByteRule rule;
    const char* text;
    bool incomplete;
};

class IncompleteCharacter : public testing::TestWithParam<EndCase> {};

TEST_P(IncompleteCharacter, IsALeadByteWithNothingAfterIt)
{
    const EndCase& c = GetParam();
    EXPECT_EQ(EndsInIncompleteCharacter(c.text, c.rule), c.incomplete);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IncompleteCharacter,
    testing::Values(
        EndCase{"Cp932Hyou", test_code_pages::Cp932(), "C:\\\x95\x5C", false},
        EndCase{"Cp932CutHyou", test_code_pages::Cp932(), "C:\\\x95", true},
        // 真 in UTF-8: 932 pairs E7 9C and takes 9F for a lead byte.
        EndCase{"Utf8Shin", test_code_pages::Utf8(), "C:\\\xE7\x9C\x9F", false},
        EndCase{"Cp932ReadingUtf8Shin", test_code_pages::Cp932(), "C:\\\xE7\x9C\x9F", true},
        EndCase{"Cp1252EAcute", test_code_pages::Cp1252(), "C:\\caf\xE9", false},
        EndCase{"Cp936CutCharacter", test_code_pages::Cp936(), "C:\\\xC4\x5C\xC4", true},
        EndCase{"Cp936Character", test_code_pages::Cp936(), "C:\\\xC4\x5C", false},
        EndCase{"Cp950CutCharacter", test_code_pages::Cp950(), "C:\\\xB3", true}),
    [](const testing::TestParamInfo<EndCase>& info) { return info.param.name; });

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
