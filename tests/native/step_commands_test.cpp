// The command line and the failure message of each step, and what the tool
// that receives each command line reads back from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "permissions/step_commands.h"
#include "tests/support/code_pages.h"
#include "tests/support/crt_split.h"

namespace {

enum StepIndex { REVOKE, READ, WRITE, CHANGE, FULL };

const LeadByteRule kCp932 = test_code_pages::Cp932();

std::string Command(int step, const std::string& path, const std::string& name, bool subdirs,
                    const LeadByteRule& rule = kCp932)
{
    char buffer[2048];
    EXPECT_TRUE(ComposeStepCommand(buffer, sizeof buffer, kPermissionSteps[step], path.c_str(),
                                   name.c_str(), subdirs, rule));
    return buffer;
}

struct CommandCase {
    const char* name;
    int step;
    bool subdirs;
    std::string expected;
};

class StepCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(StepCommand, FollowsTheTemplate)
{
    const CommandCase& c = GetParam();
    EXPECT_EQ(Command(c.step, "C:\\share\\docs", "Users", c.subdirs), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepCommand,
    testing::Values(
        CommandCase{"Revoke", REVOKE, false, "cacls \"C:\\share\\docs\" /E /R \"Users\""},
        CommandCase{"Read", READ, false, "cacls \"C:\\share\\docs\" /E /G \"Users:R\""},
        CommandCase{"Write", WRITE, false, "cacls \"C:\\share\\docs\" /E /G \"Users:W\""},
        CommandCase{"Change", CHANGE, false, "cacls \"C:\\share\\docs\" /E /G \"Users:C\""},
        CommandCase{"Full", FULL, false, "cacls \"C:\\share\\docs\" /E /G \"Users:F\""},
        CommandCase{"RevokeSubdirs", REVOKE, true, "cacls \"C:\\share\\docs\" /E /R \"Users\" /T"},
        CommandCase{"ReadSubdirs", READ, true, "cacls \"C:\\share\\docs\" /E /G \"Users:R\" /T"},
        CommandCase{"FullSubdirs", FULL, true, "cacls \"C:\\share\\docs\" /E /G \"Users:F\" /T"}),
    [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(StepOrder, ConditionsRunRevokeReadWriteChangeFull)
{
    EXPECT_EQ(kPermissionSteps[REVOKE].conditionBoxId, 0);
    EXPECT_EQ(kPermissionSteps[READ].conditionBoxId, 1001);
    EXPECT_EQ(kPermissionSteps[WRITE].conditionBoxId, 1002);
    EXPECT_EQ(kPermissionSteps[CHANGE].conditionBoxId, 1003);
    EXPECT_EQ(kPermissionSteps[FULL].conditionBoxId, 1000);
}

struct FailureCase {
    const char* name;
    int step;
    std::string text;
};

class StepFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(StepFailure, IsTheStepsOwnText)
{
    const FailureCase& c = GetParam();
    EXPECT_EQ(std::string(kPermissionSteps[c.step].failureText), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepFailure,
    testing::Values(
        FailureCase{"Revoke", REVOKE, " の指定ユーザーに対するアクセス権の初期化に失敗しました。"},
        FailureCase{"Read", READ,
                    " の指定ユーザーに対する読み取りアクセス権の設定に失敗しました。"},
        FailureCase{"Write", WRITE,
                    " の指定ユーザーに対する書き込みアクセス権の設定に失敗しました。"},
        FailureCase{"Change", CHANGE,
                    " の指定ユーザーに対する変更アクセス権の設定に失敗しました。"},
        FailureCase{"Full", FULL,
                    " の指定ユーザーに対するフルコントロールアクセス権の設定に失敗しました。"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(StepFailureText, IsCodePage932)
{
    // " の指定" in code page 932.
    EXPECT_EQ(std::string(kPermissionSteps[REVOKE].failureText).substr(0, 7),
              "\x20\x82\xcc\x8e\x77\x92\xe8");
}

// Paths and names that the tool must read back exactly as they are.
// 表 (0x95 0x5C) and ソ (0x83 0x5C) end in a byte that equals a backslash.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

struct RoundTripCase {
    const char* name;
    std::string path;
    std::string user;
};

class CommandRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(CommandRoundTrip, ToolReceivesExactlyThePathTheSwitchesAndTheName)
{
    const RoundTripCase& c = GetParam();
    const char* rights[] = {"", "R", "W", "C", "F"};
    for (int step = REVOKE; step <= FULL; ++step) {
        for (bool subdirs : {false, true}) {
            std::string line = Command(step, c.path, c.user, subdirs);
            std::vector<std::string> expected = {
                "cacls", c.path, "/E", step == REVOKE ? "/R" : "/G",
                step == REVOKE ? c.user : c.user + ":" + rights[step]};
            if (subdirs)
                expected.push_back("/T");
            EXPECT_EQ(SplitLikeCRuntime(line, kCp932), expected) << "step " << step << ": " << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandRoundTrip,
    testing::Values(RoundTripCase{"Plain", "C:\\share\\docs", "Users"},
                    RoundTripCase{"DriveRoot", "D:\\", "Users"},
                    RoundTripCase{"TwoTrailingBackslashes", "\\\\server\\share\\\\", "Users"},
                    RoundTripCase{"UncRoot", "\\\\server\\share\\", "DOMAIN\\group\\"},
                    RoundTripCase{"EndsInHyou", "C:\\" + kHyou, "Users"},
                    RoundTripCase{"EndsInSo", "C:\\" + kSo, kSo},
                    RoundTripCase{"HyouThenBackslash", "C:\\" + kHyou + "\\", kHyou + "\\"},
                    RoundTripCase{"BlanksAndCp932",
                                  "C:\\My Documents\\\x83\x65\x83\x58\x83\x67 " + kHyou,
                                  "Power Users"},
                    RoundTripCase{"NameWithBlankAndTab", "C:\\a", "a b\tc"},
                    RoundTripCase{"EmptyPath", "", "Users"}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

// The same rule on other code pages: what is a backslash before the closing
// quote and what is the trail byte of a character is told by the system's
// code page, never by 932's.
struct CodePageRoundTripCase {
    const char* name;
    LeadByteRule rule;
    std::string path;
    std::string user;
    std::string quotedPath;  // as the command line holds it, quotes included
};

class CommandRoundTripOnCodePage : public testing::TestWithParam<CodePageRoundTripCase> {};

TEST_P(CommandRoundTripOnCodePage, ToolReceivesExactlyThePathAndTheName)
{
    const CodePageRoundTripCase& c = GetParam();
    for (bool subdirs : {false, true}) {
        std::string line = Command(READ, c.path, c.user, subdirs, c.rule);
        EXPECT_EQ(line.substr(0, 6 + c.quotedPath.size()), "cacls " + c.quotedPath) << line;
        std::vector<std::string> expected = {"cacls", c.path, "/E", "/G", c.user + ":R"};
        if (subdirs)
            expected.push_back("/T");
        EXPECT_EQ(SplitLikeCRuntime(line, c.rule), expected) << line;
    }
}

// é is 0xE9 in 1252, a lead byte in 932; 腬 is C4 5C in 936 and 許 B3 5C in
// 950, where 932 takes C4 and B3 for whole katakana; 真 is E7 9C 9F in UTF-8,
// 9F being a lead byte in 932.
INSTANTIATE_TEST_SUITE_P(
    Table, CommandRoundTripOnCodePage,
    testing::Values(
        CodePageRoundTripCase{"Cp1252EndsInEAcute", test_code_pages::Cp1252(), "C:\\share\\caf\xE9",
                              "Jos\xE9", "\"C:\\share\\caf\xE9\""},
        CodePageRoundTripCase{"Cp1252EAcuteThenBackslash", test_code_pages::Cp1252(),
                              "C:\\share\\caf\xE9\\", "Users", "\"C:\\share\\caf\xE9\\\\\""},
        CodePageRoundTripCase{"Cp936CharacterWithBackslashTrailThenBackslash",
                              test_code_pages::Cp936(), "C:\\share\\\xC4\x5C\\", "Users",
                              "\"C:\\share\\\xC4\x5C\\\\\""},
        CodePageRoundTripCase{"Cp936EndsInCharacterWithBackslashTrail", test_code_pages::Cp936(),
                              "C:\\share\\\xC4\x5C", "\xC4\x5C", "\"C:\\share\\\xC4\x5C\""},
        CodePageRoundTripCase{"Cp950CharacterWithBackslashTrailThenBackslash",
                              test_code_pages::Cp950(), "C:\\share\\\xB3\x5C\\", "Users",
                              "\"C:\\share\\\xB3\x5C\\\\\""},
        CodePageRoundTripCase{"Cp949", test_code_pages::Cp949(), "C:\\share\\\xC7\xD1\\", "Users",
                              "\"C:\\share\\\xC7\xD1\\\\\""},
        CodePageRoundTripCase{"Utf8EndsInShin", test_code_pages::Utf8(), "C:\\share\\\xE7\x9C\x9F",
                              "\xE7\x9C\x9F", "\"C:\\share\\\xE7\x9C\x9F\""},
        CodePageRoundTripCase{"Utf8ShinThenBackslash", test_code_pages::Utf8(),
                              "C:\\share\\\xE7\x9C\x9F\\", "Users",
                              "\"C:\\share\\\xE7\x9C\x9F\\\\\""}),
    [](const testing::TestParamInfo<CodePageRoundTripCase>& info) { return info.param.name; });

TEST(CommandQuoting, ChangesNothingButTheRunBeforeAClosingQuote)
{
    EXPECT_EQ(Command(REVOKE, "D:\\", "Users", false), "cacls \"D:\\\\\" /E /R \"Users\"");
    EXPECT_EQ(Command(READ, "D:\\", "dom\\", true), "cacls \"D:\\\\\" /E /G \"dom\\:R\" /T");
    EXPECT_EQ(Command(REVOKE, "C:\\" + kHyou, kSo, false),
              "cacls \"C:\\" + kHyou + "\" /E /R \"" + kSo + "\"");
}

TEST(CommandLength, LongestInputsFitTheCommandBuffer)
{
    // 263 backslashes of path and 254 of name: every one of them doubled.
    std::string path(263, '\\');
    std::string name(254, '\\');
    char buffer[2048];
    ASSERT_TRUE(ComposeStepCommand(buffer, sizeof buffer, kPermissionSteps[REVOKE], path.c_str(),
                                   name.c_str(), true, kCp932));
    EXPECT_EQ(SplitLikeCRuntime(buffer, kCp932),
              (std::vector<std::string>{"cacls", path, "/E", "/R", name, "/T"}));
}

TEST(CommandLength, CommandThatDoesNotFitIsRefusedNotCut)
{
    char buffer[40];
    EXPECT_FALSE(ComposeStepCommand(buffer, sizeof buffer, kPermissionSteps[FULL],
                                    "C:\\a\\long\\path", "Administrators", true, kCp932));
    EXPECT_STREQ(buffer, "");
    char exact[sizeof "cacls \"C:\\a\" /E /R \"U\""];
    EXPECT_TRUE(ComposeStepCommand(exact, sizeof exact, kPermissionSteps[REVOKE], "C:\\a", "U",
                                   false, kCp932));
    EXPECT_FALSE(ComposeStepCommand(exact, sizeof exact - 1, kPermissionSteps[REVOKE], "C:\\a", "U",
                                    false, kCp932));
}

}  // namespace
