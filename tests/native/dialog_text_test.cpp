// The dialog's caption and the checks it makes before an Apply.
#include <gtest/gtest.h>

#include <string>

#include "dialog/apply_input.h"
#include "dialog/progress_title.h"
#include "dialog/window_title.h"
#include "tests/support/code_pages.h"

namespace {

const LeadByteRule kCp932 = test_code_pages::Cp932();

struct TitleCase {
    const char* name;
    std::string target;
    std::string title;
};

class WindowTitle : public testing::TestWithParam<TitleCase> {};

TEST_P(WindowTitle, IsTheTargetThenTheProductName)
{
    char title[2048];
    ComposeWindowTitle(title, sizeof title, GetParam().target.c_str());
    EXPECT_EQ(std::string(title), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowTitle,
    testing::Values(TitleCase{"Path", "D:\\share\\photos", "D:\\share\\photos - Quorvel"},
                    TitleCase{"Empty", "", " - Quorvel"},
                    TitleCase{"Cp932", "C:\\\x95\x5C", "C:\\\x95\x5C - Quorvel"},
                    TitleCase{"Longest", std::string(263, 'a'),
                              std::string(263, 'a') + " - Quorvel"}),
    [](const testing::TestParamInfo<TitleCase>& info) { return info.param.name; });

struct ProgressCase {
    const char* name;
    int stepNumber, stepCount;
    const char* stepName;
    std::string dialogTitle;
    std::string title;
};

class ProgressTitle : public testing::TestWithParam<ProgressCase> {};

// The dialog's own caption comes back whole after the progress, so the path
// and its code page 932 bytes stay as they were.
TEST_P(ProgressTitle, IsTheStepThenTheDialogsCaption)
{
    const ProgressCase& c = GetParam();
    char title[2048];
    EXPECT_TRUE(ComposeProgressTitle(title, sizeof title, c.stepNumber, c.stepCount, c.stepName,
                                     c.dialogTitle.c_str()));
    EXPECT_EQ(std::string(title), c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressTitle,
    testing::Values(
        ProgressCase{"Revoke", 1, 5, "初期化", "D:\\share - Quorvel",
                     "[1/5 初期化] D:\\share - Quorvel"},
        ProgressCase{"Cp932Path", 2, 3, "読み取り", "C:\\\x95\x5C - Quorvel",
                     "[2/3 読み取り] C:\\\x95\x5C - Quorvel"},
        ProgressCase{"TwoDigits", 12, 140, "変更", "x - Quorvel", "[12/140 変更] x - Quorvel"},
        ProgressCase{"LongestPath", 5, 5, "フルコントロール", std::string(263, 'a') + " - Quorvel",
                     "[5/5 フルコントロール] " + std::string(263, 'a') + " - Quorvel"}),
    [](const testing::TestParamInfo<ProgressCase>& info) { return info.param.name; });

TEST(ProgressTitleBuffer, TooSmallGivesAnEmptyCaptionNeverACutOne)
{
    const char* dialogTitle = "D:\\share - Quorvel";
    std::string whole = "[1/5 初期化] D:\\share - Quorvel";
    char title[64];
    EXPECT_FALSE(ComposeProgressTitle(title, whole.size(), 1, 5, "初期化", dialogTitle));
    EXPECT_EQ(title[0], '\0');
    EXPECT_TRUE(ComposeProgressTitle(title, whole.size() + 1, 1, 5, "初期化", dialogTitle));
    EXPECT_EQ(std::string(title), whole);
}

struct InputCase {
    const char* name;
    size_t typedLength;
    std::string user;
    std::string path;
    ApplyInputProblem problem;
};

class ApplyInput : public testing::TestWithParam<InputCase> {};

TEST_P(ApplyInput, IsRefusedOnlyForItsOwnProblem)
{
    const InputCase& c = GetParam();
    EXPECT_EQ(CheckApplyInput(c.typedLength, c.user.c_str(), true, c.path.c_str(), kCp932),
              c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplyInput,
    testing::Values(
        InputCase{"Ordinary", 5, "Users", "C:\\a", APPLY_INPUT_OK},
        InputCase{"BlankInName", 11, "Power Users", "C:\\a b", APPLY_INPUT_OK},
        InputCase{"Cp932", 4, "\x83\x5c\x95\x5c", "C:\\\x95\x5c", APPLY_INPUT_OK},
        InputCase{"EmptyPathIsLeftToTheTool", 5, "Users", "", APPLY_INPUT_OK},
        InputCase{"Name254", 254, std::string(254, 'a'), "C:\\a", APPLY_INPUT_OK},
        InputCase{"Name255", 255, "", "C:\\a", APPLY_INPUT_NAME_TOO_LONG},
        InputCase{"EmptyName", 0, "", "C:\\a", APPLY_INPUT_NAME_EMPTY},
        InputCase{"QuoteInName", 16, "Everyone\" /T \"x", "C:\\a", APPLY_INPUT_NAME_HAS_QUOTE},
        InputCase{"QuoteInPath", 5, "Users", "abc\"def", APPLY_INPUT_PATH_HAS_QUOTE},
        InputCase{"ColonWouldChangeTheRight", 7, "Users:F", "C:\\a", APPLY_INPUT_NAME_HAS_COLON},
        InputCase{"ColonAfterCp932", 5, "\x83\x5c:F", "C:\\a", APPLY_INPUT_NAME_HAS_COLON},
        InputCase{"DomainWithCp932", 11, "DOMAIN\\u\x95\x5c", "C:\\a", APPLY_INPUT_OK},
        InputCase{"UserAtDomain", 13, "user@domain.jp", "C:\\a", APPLY_INPUT_OK},
        InputCase{"NameEndsInLeadByte", 6, "Users\x81", "C:\\a",
                  APPLY_INPUT_NAME_INCOMPLETE_CHARACTER},
        InputCase{"PathEndsInLeadByte", 5, "Users", "C:\\a\x95",
                  APPLY_INPUT_PATH_INCOMPLETE_CHARACTER},
        InputCase{"NameEndsInWholeCharacter", 7, "Users\x81\x40", "C:\\a\x95\x5c", APPLY_INPUT_OK},
        InputCase{"LeadByteAsTrailIsWhole", 6, "\x81\x81\x81\x81", "\xe0\xe0", APPLY_INPUT_OK}),
    [](const testing::TestParamInfo<InputCase>& info) { return info.param.name; });

// The end of a path or a name is read by the rule of the system's code page:
// a byte that starts a character in 932 is a whole letter in 1252 (é is
// 0xE9) and a whole katakana in 932 may start a character in 936 (0xC4).
struct CodePageInputCase {
    const char* name;
    LeadByteRule rule;
    std::string user;
    std::string path;
    ApplyInputProblem problem;
};

class ApplyInputOnCodePage : public testing::TestWithParam<CodePageInputCase> {};

TEST_P(ApplyInputOnCodePage, ReadsTheEndByTheSystemsRule)
{
    const CodePageInputCase& c = GetParam();
    EXPECT_EQ(CheckApplyInput(c.user.size(), c.user.c_str(), true, c.path.c_str(), c.rule),
              c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplyInputOnCodePage,
    testing::Values(CodePageInputCase{"Cp1252PathEndsInEAcute", test_code_pages::Cp1252(), "Users",
                                      "C:\\share\\caf\xE9", APPLY_INPUT_OK},
                    CodePageInputCase{"Cp1252NameEndsInEAcute", test_code_pages::Cp1252(),
                                      "Jos\xE9", "C:\\a", APPLY_INPUT_OK},
                    CodePageInputCase{"Cp932PathEndsInEAcuteByte", kCp932, "Users",
                                      "C:\\share\\caf\xE9", APPLY_INPUT_PATH_INCOMPLETE_CHARACTER},
                    CodePageInputCase{"Cp936PathEndsInLeadByte", test_code_pages::Cp936(), "Users",
                                      "C:\\a\xC4", APPLY_INPUT_PATH_INCOMPLETE_CHARACTER},
                    CodePageInputCase{"Cp932HalfWidthKatakanaIsWhole", kCp932, "Users", "C:\\a\xC4",
                                      APPLY_INPUT_OK},
                    CodePageInputCase{"Cp936NameEndsInWholeCharacter", test_code_pages::Cp936(),
                                      "\xC4\x5C", "C:\\\xC4\x5C", APPLY_INPUT_OK},
                    CodePageInputCase{"Cp950NameEndsInLeadByte", test_code_pages::Cp950(),
                                      "Users\xB3", "C:\\a", APPLY_INPUT_NAME_INCOMPLETE_CHARACTER},
                    // 真 is E7 9C 9F: 932's rule pairs E7 9C and takes 9F for a lead byte.
                    CodePageInputCase{"Utf8PathEndsInShin", test_code_pages::Utf8(), "Users",
                                      "C:\\share\\\xE7\x9C\x9F", APPLY_INPUT_OK},
                    CodePageInputCase{"Utf8NameEndsInShin", test_code_pages::Utf8(), "\xE7\x9C\x9F",
                                      "C:\\a", APPLY_INPUT_OK},
                    CodePageInputCase{"Cp932PathEndsInShinBytes", kCp932, "Users",
                                      "C:\\share\\\xE7\x9C\x9F",
                                      APPLY_INPUT_PATH_INCOMPLETE_CHARACTER}),
    [](const testing::TestParamInfo<CodePageInputCase>& info) { return info.param.name; });

// A name that does not read back as what the field holds is refused before
// anything else is looked at: what was read is not what the user gave, so a
// colon or a quote in it says nothing about the name itself.
TEST(ApplyInput, NameNotReadBackExactlyIsRefusedFirstButNotBeforeItsLength)
{
    EXPECT_EQ(CheckApplyInput(4, "Jose", false, "C:\\a", kCp932),
              APPLY_INPUT_NAME_NOT_IN_CODE_PAGE);
    EXPECT_EQ(CheckApplyInput(4, "a??b", false, "C:\\a", kCp932),
              APPLY_INPUT_NAME_NOT_IN_CODE_PAGE);
    EXPECT_EQ(CheckApplyInput(3, "a:?", false, "C:\\a", kCp932), APPLY_INPUT_NAME_NOT_IN_CODE_PAGE);
    EXPECT_EQ(CheckApplyInput(255, "", false, "C:\\a", kCp932), APPLY_INPUT_NAME_TOO_LONG);
    EXPECT_EQ(CheckApplyInput(0, "", true, "C:\\a", kCp932), APPLY_INPUT_NAME_EMPTY);
}

TEST(ApplyInputText, EmptyNameWarningIsTheFixedText)
{
    EXPECT_STREQ(DescribeApplyInputProblem(APPLY_INPUT_NAME_EMPTY),
                 "対象ユーザー名を入力してください。");
    EXPECT_EQ(DescribeApplyInputProblem(APPLY_INPUT_OK), nullptr);
    for (ApplyInputProblem p :
         {APPLY_INPUT_NAME_TOO_LONG, APPLY_INPUT_NAME_NOT_IN_CODE_PAGE, APPLY_INPUT_NAME_HAS_QUOTE,
          APPLY_INPUT_NAME_HAS_COLON, APPLY_INPUT_PATH_HAS_QUOTE,
          APPLY_INPUT_NAME_INCOMPLETE_CHARACTER, APPLY_INPUT_PATH_INCOMPLETE_CHARACTER})
        EXPECT_NE(DescribeApplyInputProblem(p), nullptr);
}

}  // namespace
