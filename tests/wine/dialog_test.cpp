// The permission dialog end to end: what it shows, what each Apply runs
// through the stand-in tool, what it reports, and how it ends.
#include <string>
#include <vector>

#include "program_fixture.h"
#include "resources/resource.h"

namespace {

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
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SUBDIRS)));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// A user profile named in Korean on a Japanese Windows, or the "Start in" of
// a shortcut: the ANSI form of such a folder's name names no folder.
TEST_F(DialogTest, EveryStepRunsInAWorkingFolderTheCodePageCannotName)
{
    ExpectEveryStepToRunInAWorkingFolderNamed(L"\uC791\uC5C5 \uD3F4\uB354");  // 작업 폴더
}

// The dialog's control that has the keyboard focus (the combo box for its
// edit field), once one has it.
int FocusedControl(HWND dialog)
{
    DWORD start = GetTickCount();
    do {
        HWND control = FocusOf(dialog);
        if (control != nullptr) {
            while (GetParent(control) != nullptr && GetParent(control) != dialog)
                control = GetParent(control);
            return GetDlgCtrlID(control);
        }
        Sleep(10);
    } while (GetTickCount() - start < ui::kDefaultTimeoutMs);
    return 0;
}

// A screen reader names a combo box after the static text just before it
// among the dialog's windows: the user field's label stands there. The
// first focus is still on full control, and Tab, which the dialog manager
// moves by GetNextDlgTabItem, still goes through the rights, the buttons
// and then the field, and wraps.
TEST_F(DialogTest, TheUserFieldFollowsItsLabelAndTabKeepsItsOrder)
{
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    HWND label = GetWindow(GetDlgItem(dialog, IDC_USER), GW_HWNDPREV);
    ASSERT_NE(label, nullptr);
    char labelClass[32] = {};
    GetClassNameA(label, labelClass, sizeof labelClass);
    EXPECT_STREQ(labelClass, "Static");
    EXPECT_EQ(ui::Text(label), "対象ユーザー");

    EXPECT_EQ(FocusedControl(dialog), IDC_FULL);
    std::vector<int> visited;
    HWND control = GetDlgItem(dialog, IDC_FULL);
    for (int i = 0; i < 8 && control != nullptr; ++i) {
        control = GetNextDlgTabItem(dialog, control, FALSE);
        visited.push_back(GetDlgCtrlID(control));
    }
    EXPECT_EQ(visited, (std::vector<int>{IDC_READ, IDC_WRITE, IDC_CHANGE, IDC_SUBDIRS, IDOK,
                                         IDCANCEL, IDC_USER, IDC_FULL}));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

struct SubdirectoriesCase {
    const char* name;
    const char* target;  // inside the work folder; "" for the work folder itself
    bool makeFile;
    bool offered;  // the box can be ticked
    bool walked;   // /T follows the ticked box
};

class DialogSubdirectories : public DialogTest,
                             public testing::WithParamInterface<SubdirectoriesCase> {};

// cacls takes the target's name as a pattern for /T and changes every item
// of that name in the folders below the target's parent: only a folder that
// exists is walked, even when the box is ticked by a message. A name that
// names nothing is still offered the box, as it may come to exist.
TEST_P(DialogSubdirectories, AreOfferedForAnythingButAFileAndWalkedOnlyForAFolder)
{
    const SubdirectoriesCase& c = GetParam();
    std::string target = c.target[0] == '\0' ? folder_ : folder_ + "\\" + c.target;
    if (c.makeFile)
        WriteFileText(target, "x");
    HWND dialog = OpenDialog("\"" + target + "\"");
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, IDC_SUBDIRS);
    EXPECT_EQ(ui::CheckState(dialog, IDC_SUBDIRS), BST_UNCHECKED);
    EXPECT_EQ(IsWindowEnabled(box) != FALSE, c.offered);

    ui::SetItemText(dialog, IDC_USER, "Users");
    SetRights(dialog, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED);
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{});
    std::string walk = c.walked ? " /T" : "";
    EXPECT_EQ(CommandLines(Runs()),
              (std::vector<std::string>{"cacls \"" + target + "\" /E /R \"Users\"" + walk,
                                        "cacls \"" + target + "\" /E /G \"Users:R\"" + walk}));
    EXPECT_EQ(IsWindowEnabled(box) != FALSE, c.offered) << "after the Apply";
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogSubdirectories,
    testing::Values(SubdirectoriesCase{"File", "report.txt", true, false, false},
                    SubdirectoriesCase{"FileWithoutExtension", "README", true, false, false},
                    SubdirectoriesCase{"Folder", "", false, true, true},
                    SubdirectoriesCase{"NameThatNamesNothing", "no such name", false, true, false}),
    [](const testing::TestParamInfo<SubdirectoriesCase>& info) { return info.param.name; });

// The target may be removed, or replaced by a file, while the dialog is
// open: whether it is a folder is asked again at each Apply, whatever the
// box says.
TEST_F(DialogTest, ATargetRemovedOrReplacedByAFileIsNotWalked)
{
    std::string target = folder_ + "\\photos";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    HWND dialog = OpenDialog("\"" + target + "\"");
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, "Users");
    SetRights(dialog, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED);
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{});
    ASSERT_TRUE(RemoveDirectoryA(target.c_str()));
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{});
    WriteFileText(target, "x");
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{});
    EXPECT_EQ(ui::CheckState(dialog, IDC_SUBDIRS), BST_CHECKED);
    EXPECT_EQ(CommandLines(Runs()),
              (std::vector<std::string>{"cacls \"" + target + "\" /E /R \"Users\" /T",
                                        "cacls \"" + target + "\" /E /R \"Users\"",
                                        "cacls \"" + target + "\" /E /R \"Users\""}));
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
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());

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
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
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

    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{expected});
    EXPECT_EQ(Runs().size(), 5u);
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), "Users");

    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), std::vector<ui::MessageBoxText>{expected});
    EXPECT_EQ(Runs().size(), 10u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_F(DialogTest, TargetThatNamesNothingFailsEveryStepInOrder)
{
    SetVariable("QUORVEL_STANDIN_FAIL_MISSING", "1");
    std::string missing = folder_ + "\\no such folder";
    HWND dialog = OpenDialog("\"" + missing + "\"");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog),
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
    EXPECT_EQ(ApplyAndAnswerBoxes(dialog), (std::vector<ui::MessageBoxText>{{kWarning, c.text}}));
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
        RefusalCase{"ColonInName", "", "Users:F", "対象ユーザー名にコロン (:) は使用できません。"},
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
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
    std::vector<ToolRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    // The box is ticked; /T follows only where the path names a folder that
    // exists (C:\ does; the others may not, in this prefix).
    std::vector<std::string> revoke = {c.path, "/E", "/R", c.user};
    std::vector<std::string> grant = {c.path, "/E", "/G", c.user + ":R"};
    DWORD attributes = GetFileAttributesA(c.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        revoke.push_back("/T");
        grant.push_back("/T");
    }
    EXPECT_EQ(runs[0].arguments, revoke);
    EXPECT_EQ(runs[1].arguments, grant);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogPathToTool,
    testing::Values(
        PathCase{"DriveRoot", "C:\\", "C:\\", "Users"},
        PathCase{"QuotedDriveRoot", "\"D:\\\"", "D:\\", "Users"},
        PathCase{"UncShareRoot", "\\\\server\\share\\", "\\\\server\\share\\", "DOMAIN\\group"},
        PathCase{"UserAtDomain", "C:\\", "C:\\", "user@example.com"},
        PathCase{"EndsInHyou", "\"C:\\My \x95\x5C\"", "C:\\My \x95\x5C", "\x83\x5C\x83\x5C"},
        PathCase{"BlanksInNameAndPath", "\"C:\\a b\\c d\\\"", "C:\\a b\\c d\\", "Power Users"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

const char kNotInCodePage[] =
    "対象ユーザー名に、この環境の文字コードで表せない文字が含まれています。";

std::wstring WideVariable(const wchar_t* name)
{
    wchar_t value[256] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length < 256 ? value : L"";
}

// Wine takes the current user's name from $USER when a process starts, and
// the program inherits this test's Unix environment. The test bed runs this
// test under each name it wants to see (tests/wine/CMakeLists.txt), naming it
// in QUORVEL_TEST_USER and what must be proposed for it, in
// QUORVEL_TEST_PROPOSED: a look-alike such as "Jose" for "José" would name
// another account, and so would a bare name that the system finds as another
// account first (a user named Users finds the built-in group): "@qualified"
// stands for the user's name qualified by the computer's, "<COMPUTER>\Users".
TEST_F(DialogTest, CurrentUserIsProposedOnlyByANameThatFindsThatUserExactly)
{
    std::wstring user = WideVariable(L"QUORVEL_TEST_USER");
    if (user.empty())
        GTEST_SKIP() << "runs only under the user names the test bed sets";
    wchar_t wideUser[256] = {};
    DWORD size = 256;
    ASSERT_TRUE(GetUserNameW(wideUser, &size));
    ASSERT_EQ(std::wstring(wideUser), user) << "Wine did not take $USER";
    std::wstring wideProposed = WideVariable(L"QUORVEL_TEST_PROPOSED");
    if (wideProposed == L"@qualified") {
        wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
        ASSERT_TRUE(GetComputerNameW(computer, &computerLength));
        wideProposed = std::wstring(computer) + L"\\" + user;
    }
    char proposedBytes[512] = {};
    WideCharToMultiByte(932, 0, wideProposed.c_str(), -1, proposedBytes, sizeof proposedBytes,
                        nullptr, nullptr);
    std::string proposed = proposedBytes;
    bool exact = !proposed.empty();

    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), proposed);
    EXPECT_EQ(ui::ComboItems(dialog, IDC_USER),
              (std::vector<std::string>{"Administrators", "Users", "Power Users", "Everyone",
                                        proposed, "Administrator"}));
    if (exact) {
        // Every step carries the name as proposed.
        EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
        std::string quoted = "cacls \"" + target_ + "\" /E ";
        EXPECT_EQ(CommandLines(Runs()),
                  (std::vector<std::string>{
                      quoted + "/R \"" + proposed + "\"", quoted + "/G \"" + proposed + ":R\"",
                      quoted + "/G \"" + proposed + ":W\"", quoted + "/G \"" + proposed + ":C\"",
                      quoted + "/G \"" + proposed + ":F\""}));
    } else {
        EXPECT_EQ(
            ApplyAndAnswerBoxes(dialog),
            (std::vector<ui::MessageBoxText>{{kWarning, "対象ユーザー名を入力してください。"}}));
        EXPECT_TRUE(Runs().empty());
    }
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

enum class WayIn { SetText, Typed, ImeTyped, Pasted };

struct TypedNameCase {
    const char* name;
    WayIn way;
    std::wstring typed;
    std::string toolSees;  // code page 932; "" when the name must be refused
};

class DialogNameWayIn : public DialogTest, public testing::WithParamInterface<TypedNameCase> {};

// However a name gets into the field, it reaches the tool exactly or not at
// all: the ANSI read would turn é into e and 한 or an emoji into ?.
TEST_P(DialogNameWayIn, ReachesTheToolExactlyOrIsRefused)
{
    const TypedNameCase& c = GetParam();
    HWND dialog = OpenOnFolder();
    ASSERT_NE(dialog, nullptr);
    SetRights(dialog, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED);
    ui::SetItemText(dialog, IDC_USER, "");
    switch (c.way) {
    case WayIn::SetText:
        ui::SetItemTextWide(dialog, IDC_USER, c.typed);
        break;
    case WayIn::Typed:
        ui::TypeIntoItem(dialog, IDC_USER, c.typed, WM_CHAR);
        break;
    case WayIn::ImeTyped:
        ui::TypeIntoItem(dialog, IDC_USER, c.typed, WM_IME_CHAR);
        break;
    case WayIn::Pasted:
        ASSERT_TRUE(ui::PasteIntoItem(dialog, IDC_USER, c.typed));
        break;
    }
    ASSERT_EQ(ui::TextWide(GetDlgItem(dialog, IDC_USER)), c.typed)
        << "the field does not hold what was entered";

    std::vector<ui::MessageBoxText> boxes = ApplyAndAnswerBoxes(dialog);
    if (c.toolSees.empty()) {
        EXPECT_EQ(boxes, (std::vector<ui::MessageBoxText>{{kWarning, kNotInCodePage}}));
        EXPECT_TRUE(Runs().empty());
    } else {
        EXPECT_TRUE(boxes.empty());
        std::vector<ToolRun> runs = Runs();
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].arguments, (std::vector<std::string>{target_, "/E", "/R", c.toolSees}));
        EXPECT_EQ(runs[1].arguments,
                  (std::vector<std::string>{target_, "/E", "/G", c.toolSees + ":R"}));
    }
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

const wchar_t kBestFit[] = L"Jos\u00E9";
const wchar_t kHangul[] = L"\uD55C";
const wchar_t kEmoji[] = L"a\xD83D\xDE00"
                         L"b";
// 表示ユーザー: its first character's trail byte is a backslash.
const wchar_t kJapanese[] = L"\u8868\u793A\u30E6\u30FC\u30B6\u30FC";
const char kJapaneseCp932[] = "\x95\x5C\x8E\xA6\x83\x86\x81\x5B\x83\x55\x81\x5B";

INSTANTIATE_TEST_SUITE_P(
    Table, DialogNameWayIn,
    testing::Values(TypedNameCase{"SetBestFit", WayIn::SetText, kBestFit, ""},
                    TypedNameCase{"SetHangul", WayIn::SetText, kHangul, ""},
                    TypedNameCase{"SetEmoji", WayIn::SetText, kEmoji, ""},
                    TypedNameCase{"SetJapanese", WayIn::SetText, kJapanese, kJapaneseCp932},
                    TypedNameCase{"TypedBestFit", WayIn::Typed, kBestFit, ""},
                    TypedNameCase{"TypedEmoji", WayIn::Typed, kEmoji, ""},
                    TypedNameCase{"TypedJapanese", WayIn::Typed, kJapanese, kJapaneseCp932},
                    TypedNameCase{"ImeHangul", WayIn::ImeTyped, kHangul, ""},
                    TypedNameCase{"ImeJapanese", WayIn::ImeTyped, kJapanese, kJapaneseCp932},
                    TypedNameCase{"PastedEmoji", WayIn::Pasted, kEmoji, ""},
                    TypedNameCase{"PastedBestFit", WayIn::Pasted, kBestFit, ""},
                    TypedNameCase{"PastedJapanese", WayIn::Pasted, kJapanese, kJapaneseCp932}),
    [](const testing::TestParamInfo<TypedNameCase>& info) { return info.param.name; });

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
