// The permission dialog end to end: what it shows, what each Apply runs
// through the stand-in tool, what it reports, and how it ends.
#include <string>
#include <vector>

#include "program_fixture.h"
#include "resources/resource.h"

namespace {

const char kWarning[] = "エラー";

std::string FailureText(const std::string& path, const char* what)
{
    return path + " の指定ユーザーに対する" + what + "に失敗しました。";
}

class DialogTest : public ProgramTest {
protected:
    // Opens the dialog on a target that exists.
    HWND OpenOnFolder()
    {
        target_ = folder_;
        return OpenDialog("\"" + target_ + "\"");
    }

    void SetRights(HWND dialog, int full, int read, int write, int change, int subdirs)
    {
        ui::SetCheckState(dialog, IDC_FULL, full);
        ui::SetCheckState(dialog, IDC_READ, read);
        ui::SetCheckState(dialog, IDC_WRITE, write);
        ui::SetCheckState(dialog, IDC_CHANGE, change);
        ui::SetCheckState(dialog, IDC_SUBDIRS, subdirs);
    }

    std::string target_;
};

TEST_F(DialogTest, OpensWithTheTargetTheCurrentUserAndEveryRightTicked)
{
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    std::string user = CurrentUserName();
    ASSERT_FALSE(user.empty());
    EXPECT_EQ(ui::Text(dialog), target_ + " - Quorvel");
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), user);
    EXPECT_EQ(ui::ComboItems(dialog, IDC_USER),
              (std::vector<std::string>{"Administrators", "Users", "Power Users", "Everyone", user,
                                        "Administrator"}));
    EXPECT_EQ(ui::CheckState(dialog, IDC_FULL), BST_CHECKED);
    EXPECT_EQ(ui::CheckState(dialog, IDC_READ), BST_CHECKED);
    EXPECT_EQ(ui::CheckState(dialog, IDC_WRITE), BST_CHECKED);
    EXPECT_EQ(ui::CheckState(dialog, IDC_CHANGE), BST_CHECKED);
    EXPECT_EQ(ui::CheckState(dialog, IDC_SUBDIRS), BST_UNCHECKED);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

struct ApplyCase {
    const char* name;
    std::string user;
    int full, read, write, change, subdirs;
    std::vector<std::string> commands;  // "%p" stands for the target path
};

class DialogApply : public DialogTest, public testing::WithParamInterface<ApplyCase> {};

TEST_P(DialogApply, RunsExactlyTheStepsForTheTickedBoxes)
{
    const ApplyCase& c = GetParam();
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    if (!c.user.empty())
        ui::SetItemText(dialog, IDC_USER, c.user);
    if (c.full >= 0)
        SetRights(dialog, c.full, c.read, c.write, c.change, c.subdirs);
    EXPECT_TRUE(ui::ApplyAndAnswerBoxes(program_, dialog).empty());

    std::vector<std::string> expected;
    for (std::string command : c.commands)
        expected.push_back(command.replace(command.find("%p"), 2, target_));
    std::vector<ToolRun> runs = Runs();
    EXPECT_EQ(CommandLines(runs), expected);
    for (const ToolRun& run : runs) {
        EXPECT_EQ(run.directory, folder_);  // the program's own current directory
        EXPECT_EQ(run.show, "1 0");         // started hidden
        ASSERT_FALSE(run.arguments.empty());
        EXPECT_EQ(run.arguments[0], target_);
    }
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogApply,
    testing::Values(ApplyCase{"Defaults",
                              "Users",
                              -1,
                              0,
                              0,
                              0,
                              0,
                              {"cacls \"%p\" /E /R \"Users\"", "cacls \"%p\" /E /G \"Users:R\"",
                               "cacls \"%p\" /E /G \"Users:W\"", "cacls \"%p\" /E /G \"Users:C\"",
                               "cacls \"%p\" /E /G \"Users:F\""}},
                    ApplyCase{"ReadAndChangeWithSubdirectories",
                              "Users",
                              BST_UNCHECKED,
                              BST_CHECKED,
                              BST_UNCHECKED,
                              BST_CHECKED,
                              BST_CHECKED,
                              {"cacls \"%p\" /E /R \"Users\" /T",
                               "cacls \"%p\" /E /G \"Users:R\" /T",
                               "cacls \"%p\" /E /G \"Users:C\" /T"}},
                    ApplyCase{"NoRightTicked",
                              "Power Users",
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              {"cacls \"%p\" /E /R \"Power Users\""}},
                    ApplyCase{"Name254BytesWhole",
                              std::string(254, 'n'),
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              BST_UNCHECKED,
                              {"cacls \"%p\" /E /R \"" + std::string(254, 'n') + "\""}}),
    [](const testing::TestParamInfo<ApplyCase>& info) { return info.param.name; });

TEST_F(DialogTest, DefaultUserIsTheCurrentUser)
{
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    SetRights(dialog, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED);
    EXPECT_TRUE(ui::ApplyAndAnswerBoxes(program_, dialog).empty());
    EXPECT_EQ(CommandLines(Runs()), (std::vector<std::string>{"cacls \"" + target_ + "\" /E /R \"" +
                                                              CurrentUserName() + "\""}));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_F(DialogTest, FailedStepGivesOneBoxAndTheDialogStaysForAnotherApply)
{
    SetVariable("QUORVEL_STANDIN_FAIL_ON", "Users:C");
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, "Users");
    ui::MessageBoxText expected = {kWarning, FailureText(target_, "変更アクセス権の設定")};

    EXPECT_EQ(ui::ApplyAndAnswerBoxes(program_, dialog), std::vector<ui::MessageBoxText>{expected});
    EXPECT_EQ(Runs().size(), 5u);
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), "Users");

    EXPECT_EQ(ui::ApplyAndAnswerBoxes(program_, dialog), std::vector<ui::MessageBoxText>{expected});
    EXPECT_EQ(Runs().size(), 10u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_F(DialogTest, TargetThatNamesNothingFailsEveryStepInOrder)
{
    SetVariable("QUORVEL_STANDIN_FAIL_MISSING", "1");
    std::string missing = folder_ + "\\no such folder";
    HWND dialog = OpenDialog("\"" + missing + "\"");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::ApplyAndAnswerBoxes(program_, dialog),
              (std::vector<ui::MessageBoxText>{
                  {kWarning, FailureText(missing, "アクセス権の初期化")},
                  {kWarning, FailureText(missing, "読み取りアクセス権の設定")},
                  {kWarning, FailureText(missing, "書き込みアクセス権の設定")},
                  {kWarning, FailureText(missing, "変更アクセス権の設定")},
                  {kWarning, FailureText(missing, "フルコントロールアクセス権の設定")}}));
    EXPECT_EQ(Runs().size(), 5u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

struct RefusalCase {
    const char* name;
    std::string tail;  // "" opens on the work folder
    std::string user;
    std::string text;
};

class DialogRefusal : public DialogTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(DialogRefusal, ShowsOneBoxAndRunsNothing)
{
    const RefusalCase& c = GetParam();
    HWND dialog = c.tail.empty() ? OpenOnFolder() : OpenDialog(c.tail);
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, c.user);
    EXPECT_EQ(ui::ApplyAndAnswerBoxes(program_, dialog),
              (std::vector<ui::MessageBoxText>{{kWarning, c.text}}));
    EXPECT_TRUE(Runs().empty());
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), c.user);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogRefusal,
    testing::Values(
        RefusalCase{"EmptyName", "", "", "対象ユーザー名を入力してください。"},
        RefusalCase{"QuoteInName", "", "Everyone\" /T \"x",
                    "対象ユーザー名にダブルクォーテーション (\") は使用できません。"},
        RefusalCase{"NameOver254Bytes", "", std::string(255, 'n'),
                    "対象ユーザー名が長すぎます。254 バイトまでの名前を入力してください。"},
        RefusalCase{"JapaneseNameOver254Bytes", "", std::string(253, 'n') + "\x95\x5C",
                    "対象ユーザー名が長すぎます。254 バイトまでの名前を入力してください。"},
        RefusalCase{"QuoteInPath", "abc\"def", "Users",
                    "対象のパスにダブルクォーテーション (\") が含まれているため、"
                    "アクセス許可を変更できません。"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

struct PathCase {
    const char* name;
    std::string tail;
    std::string path;
    std::string user;
};

class DialogPathToTool : public DialogTest, public testing::WithParamInterface<PathCase> {};

TEST_P(DialogPathToTool, ReachesTheToolIntact)
{
    const PathCase& c = GetParam();
    HWND dialog = OpenDialog(c.tail);
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, c.user);
    SetRights(dialog, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED);
    EXPECT_TRUE(ui::ApplyAndAnswerBoxes(program_, dialog).empty());
    std::vector<ToolRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].arguments, (std::vector<std::string>{c.path, "/E", "/R", c.user, "/T"}));
    EXPECT_EQ(runs[1].arguments,
              (std::vector<std::string>{c.path, "/E", "/G", c.user + ":R", "/T"}));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogPathToTool,
    testing::Values(
        PathCase{"DriveRoot", "C:\\", "C:\\", "Users"},
        PathCase{"QuotedDriveRoot", "\"D:\\\"", "D:\\", "Users"},
        PathCase{"UncShareRoot", "\\\\server\\share\\", "\\\\server\\share\\", "DOMAIN\\group"},
        PathCase{"EndsInHyou", "\"C:\\My \x95\x5C\"", "C:\\My \x95\x5C", "\x83\x5C\x83\x5C"},
        PathCase{"BlanksInNameAndPath", "\"C:\\a b\\c d\\\"", "C:\\a b\\c d\\", "Power Users"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

enum class CloseBy { CancelButton, EscapeKey, CloseBox };

struct CloseCase {
    const char* name;
    CloseBy how;
};

class DialogClose : public DialogTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(DialogClose, EndsTheProgramWithExitCodeZero)
{
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    switch (GetParam().how) {
    case CloseBy::CancelButton:
        ui::PostCommand(dialog, IDCANCEL);
        break;
    case CloseBy::EscapeKey:
        // The dialog manager turns Esc on any control into IDCANCEL.
        PostMessageW(GetDlgItem(dialog, IDC_FULL), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        break;
    case CloseBy::CloseBox:
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
    EXPECT_TRUE(Runs().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, DialogClose,
                         testing::Values(CloseCase{"CancelButton", CloseBy::CancelButton},
                                         CloseCase{"EscapeKey", CloseBy::EscapeKey},
                                         CloseCase{"CloseBox", CloseBy::CloseBox}),
                         [](const testing::TestParamInfo<CloseCase>& info) {
                             return info.param.name;
                         });

}  // namespace
