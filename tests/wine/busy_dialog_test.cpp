// The dialog while a long Apply runs: it keeps answering messages, takes no
// input, shows which step runs, and afterwards is as the user left it. The
// stand-in tool sleeps in one step to make that step long.
#include <string>
#include <vector>

#include "busy_fixture.h"

namespace {

using busy::ExpectOneAfterAnother;

// The program shows no progress before its Apply has run this long. Its
// timer starts after this process pressed Apply, so a change seen earlier
// than this by this process's clock came too early; the margin allows for a
// timer that fires a tick early.
const DWORD kProgressDelayMs = 500;
const DWORD kTimerMarginMs = 50;

TEST_F(BusyDialogTest, DuringALongStepItAnswersStaysDisabledAndShowsTheStep)
{
    SlowDown("Users:W");
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);
    HWND focus = FocusOf(dialog);
    ASSERT_NE(focus, nullptr);

    ui::RunningApply apply = ui::StartApply(dialog);
    ASSERT_TRUE(WaitUntilRunning(3));
    ExpectToAnswerWhileTheStepRuns(dialog, "[3/5 書き込み] ", 500);
    EXPECT_FALSE(ui::ApplyIsOver(apply));
    ASSERT_TRUE(ui::FinishApply(apply));

    EXPECT_EQ(ui::Text(dialog), target_ + " - Quorvel");
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(FocusOf(dialog), focus);
    std::vector<ToolRun> runs = Runs();
    EXPECT_EQ(runs.size(), 5u);
    ExpectOneAfterAnother(runs);

    SetVariable("QUORVEL_STANDIN_SLEEP_ON", "");
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
    EXPECT_EQ(Runs().size(), 10u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// A few quick steps: the caption is watched from the press until the Apply
// is over. Any change must come after the delay by this process's clock;
// where the whole Apply is quicker than that (as on any machine that starts
// a process in well under 150 ms), the caption never changes at all.
TEST_F(BusyDialogTest, AQuickApplyLeavesTheCaptionAlone)
{
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);
    ui::SetCheckState(dialog, IDC_FULL, BST_UNCHECKED);
    ui::SetCheckState(dialog, IDC_CHANGE, BST_UNCHECKED);
    const std::string title = ui::Text(dialog);
    ASSERT_EQ(title, target_ + " - Quorvel");

    DWORD pressed = GetTickCount();
    ui::RunningApply apply = ui::StartApply(dialog);
    std::string firstChange;
    DWORD changedAfterMs = 0;
    while (!ui::ApplyIsOver(apply) && GetTickCount() - pressed < ui::kDefaultTimeoutMs) {
        std::string caption = ui::Text(dialog);
        if (caption != title && firstChange.empty()) {
            changedAfterMs = GetTickCount() - pressed;
            firstChange = caption;
        }
        Sleep(1);
    }
    DWORD tookMs = GetTickCount() - pressed;
    ASSERT_TRUE(ui::FinishApply(apply));

    if (!firstChange.empty()) {
        EXPECT_GE(changedAfterMs, kProgressDelayMs - kTimerMarginMs)
            << "\"" << firstChange << "\" shown too early; the Apply took " << tookMs << " ms";
    }
    EXPECT_EQ(ui::Text(dialog), title);
    EXPECT_EQ(Runs().size(), 3u);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// One long step alone: the wait dispatches the timer's message, so its
// progress shows while the step still runs, and the caption comes back after.
TEST_F(BusyDialogTest, ALongSingleStepShowsItsProgressWhileItRuns)
{
    SlowDown("/E /R");
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);
    for (int box : {IDC_FULL, IDC_READ, IDC_WRITE, IDC_CHANGE})
        ui::SetCheckState(dialog, box, BST_UNCHECKED);

    ui::RunningApply apply = ui::StartApply(dialog);
    ASSERT_TRUE(WaitUntilRunning(1));
    EXPECT_TRUE(WaitForCaption(dialog, Caption("[1/1 初期化] ")));
    std::vector<ToolRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].finish, 0) << "the progress came only after the step";
    ASSERT_TRUE(ui::FinishApply(apply));
    EXPECT_EQ(ui::Text(dialog), target_ + " - Quorvel");
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// Logging off in the middle would leave the target with the old rights
// revoked and the new ones granted only in part.
TEST_F(BusyDialogTest, TheSessionMayEndBeforeAndAfterAnApplyButNotDuringIt)
{
    SlowDown("Users:W");
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(QueryEndSession(dialog), 0);

    ui::RunningApply apply = ui::StartApply(dialog);
    ASSERT_TRUE(WaitUntilRunning(3));
    EXPECT_EQ(QueryEndSession(dialog), 0);
    EXPECT_FALSE(ui::ApplyIsOver(apply));
    ASSERT_TRUE(ui::FinishApply(apply));

    EXPECT_NE(QueryEndSession(dialog), 0);
    std::vector<ToolRun> runs = Runs();
    EXPECT_EQ(runs.size(), 5u);
    ExpectOneAfterAnother(runs);
    EXPECT_EQ(WaitForSingleObject(program_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

struct PostedCase {
    const char* name;
    void (*post)(HWND dialog);
};

class NothingPostedMeanwhile : public BusyDialogTest,
                               public testing::WithParamInterface<PostedCase> {};

// Whatever another program posts while a step runs: the Apply runs whole,
// alone, the dialog stays open, and every setting is as the user left it.
TEST_P(NothingPostedMeanwhile, ActsOnTheDialog)
{
    SlowDown("Users:R");
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);

    ui::RunningApply apply = ui::StartApply(dialog);
    ASSERT_TRUE(WaitUntilRunning(2));
    GetParam().post(dialog);
    ASSERT_TRUE(ui::FinishApply(apply));
    // Anything left in the queue now would be read by the dialog manager.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
    Sleep(200);

    std::vector<ToolRun> runs = Runs();
    EXPECT_EQ(runs.size(), 5u);
    ExpectOneAfterAnother(runs);
    EXPECT_EQ(WaitForSingleObject(program_.process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ui::ItemText(dialog, IDC_USER), "Users");
    for (int box : {IDC_FULL, IDC_READ, IDC_WRITE, IDC_CHANGE})
        EXPECT_EQ(ui::CheckState(dialog, box), BST_CHECKED) << box;
    EXPECT_EQ(ui::CheckState(dialog, IDC_SUBDIRS), BST_UNCHECKED);

    SetVariable("QUORVEL_STANDIN_SLEEP_ON", "");
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
    EXPECT_EQ(Runs().size(), 10u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

void PostKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 0x00000001);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NothingPostedMeanwhile,
    testing::Values(
        PostedCase{"Apply", [](HWND dialog) { ui::PostCommand(dialog, IDOK); }},
        PostedCase{"Cancel", [](HWND dialog) { ui::PostCommand(dialog, IDCANCEL); }},
        PostedCase{"Close", [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
        PostedCase{"CloseBox",
                   [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        PostedCase{"EscapeOnAControl",
                   [](HWND dialog) { PostKey(GetDlgItem(dialog, IDC_FULL), VK_ESCAPE); }},
        PostedCase{"EnterOnTheDialog", [](HWND dialog) { PostKey(dialog, VK_RETURN); }},
        PostedCase{"SpaceOnACheckBox",
                   [](HWND dialog) { PostKey(GetDlgItem(dialog, IDC_SUBDIRS), VK_SPACE); }},
        PostedCase{"TypingInTheUserField",
                   [](HWND dialog) {
                       HWND edit = GetWindow(GetDlgItem(dialog, IDC_USER), GW_CHILD);
                       PostMessageW(edit, WM_CHAR, 'x', 0x00000001);
                   }}),
    [](const testing::TestParamInfo<PostedCase>& info) { return info.param.name; });

TEST_F(BusyDialogTest, FailureBoxesComeInOrderAndTheDialogStaysDisabledUntilTheLast)
{
    SetVariable("QUORVEL_STANDIN_FAIL_MISSING", "1");
    SlowDown("Users:W");
    HWND dialog = OpenOnFolder(folder_ + "\\no such folder");
    ASSERT_NE(dialog, nullptr);
    const char* const failed[] = {"アクセス権の初期化", "読み取りアクセス権の設定",
                                  "書き込みアクセス権の設定", "変更アクセス権の設定",
                                  "フルコントロールアクセス権の設定"};

    ui::RunningApply apply = ui::StartApply(dialog);
    for (int i = 0; i < 5; ++i) {
        HWND box = ui::WaitForWindow(program_, ui::WindowKind::MessageBox);
        ASSERT_NE(box, nullptr) << "box " << i;
        EXPECT_EQ(ui::ReadMessageBox(box),
                  (ui::MessageBoxText{kWarning, FailureText(target_, failed[i])}));
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        ui::AnswerMessageBox(box);
        if (i == 1) {
            // The box of step 2 has closed and enabled its owner; the long
            // step 3 runs with the dialog disabled again.
            ASSERT_TRUE(WaitUntilRunning(3));
            EXPECT_FALSE(IsWindowEnabled(dialog));
            EXPECT_TRUE(WaitForCaption(dialog, Caption("[3/5 書き込み] ")));
        }
    }
    ASSERT_TRUE(ui::FinishApply(apply));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(ui::Text(dialog), target_ + " - Quorvel");
    ExpectOneAfterAnother(Runs());
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// Another program asks the program to quit in the middle of an Apply: the
// Apply still runs to its end, and then the program ends.
TEST_F(BusyDialogTest, QuitDuringAStepEndsTheProgramOnlyAfterTheApply)
{
    SlowDown("Users:W");
    HWND dialog = OpenOnFolder(folder_);
    ASSERT_NE(dialog, nullptr);

    ui::RunningApply apply = ui::StartApply(dialog);
    ASSERT_TRUE(WaitUntilRunning(3));
    ASSERT_TRUE(PostThreadMessageW(GetWindowThreadProcessId(dialog, nullptr), WM_QUIT, 0, 0));
    EXPECT_TRUE(ui::FinishApply(apply));
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
    std::vector<ToolRun> runs = Runs();
    EXPECT_EQ(runs.size(), 5u);
    ExpectOneAfterAnother(runs);
}

}  // namespace
