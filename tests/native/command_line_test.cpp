// The command-line tail, the first-argument scan and the target resolution.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/target_path.h"

namespace {

// テスト in code page 932; 表 is 0x95 0x5C, whose trail byte is a backslash.
const std::string kTesuto = "\x83\x65\x83\x58\x83\x67";
const std::string kHyou = "\x95\x5C";

struct TailCase {
    const char* name;
    std::string commandLine;
    std::string tail;
};

class CommandLineTail : public testing::TestWithParam<TailCase> {};

TEST_P(CommandLineTail, RemovesTheProgramNameAndTheBlanksAfterIt)
{
    const TailCase& c = GetParam();
    EXPECT_EQ(FindCommandLineTail(c.commandLine.c_str()), c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTail,
    testing::Values(TailCase{"Unquoted", "quorvel.exe C:\\a.txt", "C:\\a.txt"},
                    TailCase{"QuotedWithBlanks", "\"C:\\Program Files\\q.exe\" \"C:\\a b\" x",
                             "\"C:\\a b\" x"},
                    TailCase{"QuotedAlone", "\"C:\\Program Files\\q.exe\"", ""},
                    TailCase{"NameAlone", "q.exe", ""},
                    TailCase{"AllControlBytesAreBlanks",
                             "q.exe \t\x01\x1f\x20"
                             "arg",
                             "arg"},
                    TailCase{"TrailingBlanksOnly", "q.exe  \t ", ""},
                    TailCase{"QuotedStretchInsideTheName", "C:\\a\"b c\"d\\q.exe x", "x"},
                    TailCase{"UnterminatedQuoteTakesAll", "\"C:\\my dir\\q.exe x", ""},
                    // Bytes above 0x7F are not blanks: a signed comparison would end the
                    // name at the first of them.
                    TailCase{"UnquotedNameWithCp932",
                             "C:\\" + kTesuto + "\\" + kHyou + "\\q.exe C:\\x", "C:\\x"},
                    TailCase{"QuotedNameWithCp932",
                             "\"C:\\" + kTesuto + " " + kHyou + "\\q.exe\" C:\\x", "C:\\x"},
                    TailCase{"HighBytesInTheTail", "q.exe \xe0\xa0 \xfc", "\xe0\xa0 \xfc"},
                    TailCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<TailCase>& info) { return info.param.name; });

struct ArgumentCase {
    const char* name;
    std::string source;
    std::string target;
};

class FirstArgument : public testing::TestWithParam<ArgumentCase> {};

TEST_P(FirstArgument, IsCopiedByTheScanningRules)
{
    const ArgumentCase& c = GetParam();
    char target[kTargetPathSize];
    memset(target, 'x', sizeof target);
    EXPECT_EQ(ExtractFirstArgument(c.source.c_str(), target, sizeof target), FIRST_ARGUMENT_OK);
    EXPECT_EQ(std::string(target), c.target);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstArgument,
    testing::Values(
        ArgumentCase{"Plain", "C:\\data\\a.txt", "C:\\data\\a.txt"},
        ArgumentCase{"QuotedThenMore", "\"C:\\My Documents\\a.txt\" /x", "C:\\My Documents\\a.txt"},
        ArgumentCase{"UnquotedEndsAtBlank", "C:\\My Documents\\a.txt", "C:\\My"},
        ArgumentCase{"RestAfterClosingQuoteIgnored", "\"C:\\data\\a b\"rest", "C:\\data\\a b"},
        ArgumentCase{"QuoteInsideUnquotedIsCopied", "abc\"def ghi", "abc\"def"},
        ArgumentCase{"NoClosingQuote", "\"C:\\data\\open", "C:\\data\\open"},
        ArgumentCase{"EmptyQuoted", "\"\"", ""},
        ArgumentCase{"LeadingBlanksSkipped",
                     " \t\x01\x1f"
                     "C:\\x y",
                     "C:\\x"},
        ArgumentCase{"OnlyBlanks", " \t ", ""},
        ArgumentCase{"QuotedKeepsBlanksAndTabs", "\"a \t\x01 b\" c", "a \t\x01 b"},
        ArgumentCase{"EndsAtAnyControlByte",
                     "C:\\a\x1f"
                     "b",
                     "C:\\a"},
        ArgumentCase{"TrailingBackslashKept", "\"D:\\\" x", "D:\\"},
        ArgumentCase{"Cp932TrailBackslash", "C:\\" + kHyou + " x", "C:\\" + kHyou},
        ArgumentCase{"Cp932Quoted", "\"C:\\" + kTesuto + " " + kHyou + "\"",
                     "C:\\" + kTesuto + " " + kHyou},
        ArgumentCase{"Cp932LeadAndTrailRanges", "\x81\x40\x9f\xfc\xe0\x40\xfc\xfc",
                     "\x81\x40\x9f\xfc\xe0\x40\xfc\xfc"}),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return info.param.name; });

TEST(FirstArgumentSource, EmptyLeavesTheTargetUnchanged)
{
    char target[kTargetPathSize] = "unchanged";
    EXPECT_EQ(ExtractFirstArgument("", target, sizeof target), FIRST_ARGUMENT_OK);
    EXPECT_STREQ(target, "unchanged");
}

// The target buffer sits between guard bytes that must never change.
struct GuardedTarget {
    char before[16];
    char target[kTargetPathSize];
    char after[16];
};

struct LengthCase {
    const char* name;
    std::string source;
    FirstArgumentResult result;
    size_t targetLength;
};

class FirstArgumentLength : public testing::TestWithParam<LengthCase> {};

TEST_P(FirstArgumentLength, FitsWholeOrIsRefusedWithNothingWrittenPastTheBuffer)
{
    const LengthCase& c = GetParam();
    GuardedTarget guarded;
    memset(&guarded, 0x5A, sizeof guarded);
    EXPECT_EQ(ExtractFirstArgument(c.source.c_str(), guarded.target, sizeof guarded.target),
              c.result);
    EXPECT_EQ(strnlen(guarded.target, sizeof guarded.target), c.targetLength);
    EXPECT_EQ(std::string(guarded.before, sizeof guarded.before), std::string(16, 0x5A));
    EXPECT_EQ(std::string(guarded.after, sizeof guarded.after), std::string(16, 0x5A));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstArgumentLength,
    testing::Values(
        LengthCase{"Unquoted263Fits", std::string(263, 'a'), FIRST_ARGUMENT_OK, 263},
        LengthCase{"Unquoted264Refused", std::string(264, 'a'), FIRST_ARGUMENT_TOO_LONG, 0},
        LengthCase{"Quoted263Fits", "\"" + std::string(263, 'a') + "\" x", FIRST_ARGUMENT_OK, 263},
        LengthCase{"Quoted264Refused", "\"" + std::string(264, 'a') + "\"", FIRST_ARGUMENT_TOO_LONG,
                   0},
        LengthCase{"Unquoted263ThenMore", std::string(263, 'a') + " " + std::string(400, 'b'),
                   FIRST_ARGUMENT_OK, 263},
        LengthCase{"VeryLongRefused", std::string(5000, 'a'), FIRST_ARGUMENT_TOO_LONG, 0}),
    [](const testing::TestParamInfo<LengthCase>& info) { return info.param.name; });

class TargetResolution : public testing::Test {
protected:
    void SetUp() override { memset(&g_app, 0, sizeof g_app); }
    void TearDown() override { memset(&g_app, 0, sizeof g_app); }
};

TEST_F(TargetResolution, ChosenFileIsTakenWholeBlanksAndQuotesIncluded)
{
    strcpy(g_app.openFileBuffer, "C:\\My Documents\\a b.txt");
    g_app.sourceText = g_app.openFileBuffer;
    g_app.originFlag = ORIGIN_OPEN_FILE_DIALOG;
    EXPECT_TRUE(ResolveTargetPath());
    EXPECT_STREQ(g_app.targetPath, "C:\\My Documents\\a b.txt");
}

TEST_F(TargetResolution, CommandLineGivesItsFirstArgument)
{
    g_app.sourceText = "\"C:\\My Documents\\a.txt\" /x";
    g_app.originFlag = ORIGIN_COMMAND_LINE;
    EXPECT_TRUE(ResolveTargetPath());
    EXPECT_STREQ(g_app.targetPath, "C:\\My Documents\\a.txt");
}

TEST_F(TargetResolution, OverlongArgumentIsRefusedAndLeavesNoPath)
{
    std::string source(300, 'a');
    g_app.sourceText = source.c_str();
    EXPECT_FALSE(ResolveTargetPath());
    EXPECT_STREQ(g_app.targetPath, "");
}

// The wide form of the command line, where a name the code page cannot hold
// keeps its characters: read by the same rules as the bytes.
struct WideCase {
    const char* name;
    std::wstring commandLine;
    std::wstring argument;
};

class WideCommandLine : public testing::TestWithParam<WideCase> {};

TEST_P(WideCommandLine, GivesTheFirstArgumentOfTheTail)
{
    const WideCase& c = GetParam();
    wchar_t target[kTargetPathSize];
    target[0] = L'x';
    target[1] = 0;
    EXPECT_EQ(ExtractWideFirstArgument(FindWideCommandLineTail(c.commandLine.c_str()), target,
                                       kTargetPathSize),
              FIRST_ARGUMENT_OK);
    EXPECT_EQ(std::wstring(target), c.argument);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WideCommandLine,
    testing::Values(
        WideCase{"Hangul", L"\"C:\\\uD55C\\q.exe\" \"C:\\x\\\uD55C.txt\" /x", L"C:\\x\\\uD55C.txt"},
        WideCase{"EmojiUnquoted", L"q.exe C:\\\xD83D\xDE00.txt more", L"C:\\\xD83D\xDE00.txt"},
        WideCase{"QuotedNameWithBlanks", L"\"C:\\Program Files\\q.exe\" \t caf\u00E9 x",
                 L"caf\u00E9"},
        // Units above 0xFF whose low byte is a blank or a quote are ordinary.
        WideCase{"HighUnitsAreNotBlanksOrQuotes", L"q.exe a\u0120b\u0122c d", L"a\u0120b\u0122c"},
        WideCase{"NameAlone", L"q.exe", L"x"}),
    [](const testing::TestParamInfo<WideCase>& info) { return info.param.name; });

TEST(WideFirstArgument, TooLongIsRefusedAsTheBytesAre)
{
    std::wstring source = L"\"" + std::wstring(264, L'\uD55C') + L"\"";
    wchar_t target[kTargetPathSize];
    EXPECT_EQ(ExtractWideFirstArgument(source.c_str(), target, kTargetPathSize),
              FIRST_ARGUMENT_TOO_LONG);
    EXPECT_EQ(target[0], 0);
}

struct WildcardCase {
    const char* name;
    std::string path;
    bool holdsWildcard;
};

class Wildcards : public testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcards, AreFoundAnywhereButInTheVerbatimPrefix)
{
    EXPECT_EQ(HoldsWildcard(GetParam().path.c_str()), GetParam().holdsWildcard);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wildcards,
    testing::Values(WildcardCase{"Plain", "C:\\data\\a.txt", false},
                    WildcardCase{"Empty", "", false},
                    WildcardCase{"Question", "C:\\data\\?.txt", true},
                    WildcardCase{"Star", "C:\\data\\*", true},
                    WildcardCase{"StarInAFolder", "C:\\a*\\b.txt", true},
                    WildcardCase{"VerbatimPrefix", "\\\\?\\C:\\data\\a.txt", false},
                    WildcardCase{"VerbatimUnc", "\\\\?\\UNC\\server\\share\\a", false},
                    WildcardCase{"WildcardAfterVerbatimPrefix", "\\\\?\\C:\\?.txt", true},
                    WildcardCase{"PrefixNotLeading", "C:\\\\?\\a.txt", true},
                    WildcardCase{"PrefixWithoutItsBackslash", "\\\\?", true},
                    WildcardCase{"DevicePrefix", "\\\\.\\C:\\a.txt", false},
                    // Code page 932 text: no trail byte is below 0x40.
                    WildcardCase{"Cp932", "C:\\" + kTesuto + kHyou + "\\\x81\x48", false}),
    [](const testing::TestParamInfo<WildcardCase>& info) { return info.param.name; });

}  // namespace
