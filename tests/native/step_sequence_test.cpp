// Which steps one Apply runs, in which order, and what it reports.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "permissions/step_sequence.h"
#include "tests/support/code_pages.h"

namespace {

enum Box { FULL = 1000, READ = 1001, WRITE = 1002, CHANGE = 1003, SUBDIRS = 1006 };
// What the target names at the moment of the Apply.
enum Target { FOLDER, FILE_TARGET, NOTHING };

// A dialog and a tool stand-in: the boxes that read as ticked, the commands
// that fail, and everything the sequence asked for, in order.
struct FakeDialog {
    std::set<int> ticked;
    std::string failWhenContains = "\x01";  // matches nothing by default
    Target target = FOLDER;
    std::vector<std::string> events;
};

bool IsTicked(void* context, int box)
{
    auto* dialog = static_cast<FakeDialog*>(context);
    dialog->events.push_back("box " + std::to_string(box));
    return dialog->ticked.count(box) != 0;
}

bool IsFolder(void* context, const char*)
{
    return static_cast<FakeDialog*>(context)->target == FOLDER;
}

uint32_t Run(void* context, char* commandLine)
{
    auto* dialog = static_cast<FakeDialog*>(context);
    dialog->events.push_back(std::string("run ") + commandLine);
    return std::string(commandLine).find(dialog->failWhenContains) != std::string::npos ? 5 : 0;
}

void Report(void* context, const char* path, const char* failureText)
{
    static_cast<FakeDialog*>(context)->events.push_back(std::string("box: ") + path + failureText);
}

void Progress(void* context, int stepNumber, int stepCount, const char* stepName)
{
    static_cast<FakeDialog*>(context)->events.push_back("step " + std::to_string(stepNumber) + "/" +
                                                        std::to_string(stepCount) + " " + stepName);
}

std::vector<std::string> Apply(FakeDialog& dialog, const char* path, const char* user)
{
    PermissionStepHooks hooks = {&dialog, IsTicked, IsFolder, Run, Report, Progress};
    char buffer[2048];
    RunPermissionSteps(hooks, buffer, sizeof buffer, path, user, test_code_pages::Cp932());
    return dialog.events;
}

struct PlanCase {
    const char* name;
    std::set<int> ticked;
    std::vector<std::string> events;
    Target target = FOLDER;
};

class StepPlan : public testing::TestWithParam<PlanCase> {};

TEST_P(StepPlan, RunsTheRevokeAndEachTickedGrantInOrder)
{
    FakeDialog dialog;
    dialog.ticked = GetParam().ticked;
    dialog.target = GetParam().target;
    EXPECT_EQ(Apply(dialog, "C:\\share\\docs", "Users"), GetParam().events);
}

// The subdirectories box, then the count of the steps to run, then each step
// with its box read again when it is reached.
#define COUNTED "box 1006", "box 1001", "box 1002", "box 1003", "box 1000"

INSTANTIATE_TEST_SUITE_P(
    Table, StepPlan,
    testing::Values(
        PlanCase{"NothingTicked",
                 {},
                 {COUNTED, "step 1/1 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                  "box 1001", "box 1002", "box 1003", "box 1000"}},
        PlanCase{"AllRights",
                 {FULL, READ, WRITE, CHANGE},
                 {COUNTED, "step 1/5 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                  "box 1001", "step 2/5 読み取り",
                  "run cacls \"C:\\share\\docs\" /E /G \"Users:R\"", "box 1002",
                  "step 3/5 書き込み", "run cacls \"C:\\share\\docs\" /E /G \"Users:W\"",
                  "box 1003", "step 4/5 変更", "run cacls \"C:\\share\\docs\" /E /G \"Users:C\"",
                  "box 1000", "step 5/5 フルコントロール",
                  "run cacls \"C:\\share\\docs\" /E /G \"Users:F\""}},
        PlanCase{"ReadAndChangeWithSubdirectories",
                 {READ, CHANGE, SUBDIRS},
                 {COUNTED, "step 1/3 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\" /T",
                  "box 1001", "step 2/3 読み取り",
                  "run cacls \"C:\\share\\docs\" /E /G \"Users:R\" /T", "box 1002", "box 1003",
                  "step 3/3 変更", "run cacls \"C:\\share\\docs\" /E /G \"Users:C\" /T",
                  "box 1000"}},
        PlanCase{"OnlySubdirectories",
                 {SUBDIRS},
                 {COUNTED, "step 1/1 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\" /T",
                  "box 1001", "box 1002", "box 1003", "box 1000"}},
        // cacls would take the target's name as a pattern and change every
        // item of that name in the folders below the target's parent.
        PlanCase{"SubdirectoriesTickedForAFile",
                 {READ, SUBDIRS},
                 {COUNTED, "step 1/2 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                  "box 1001", "step 2/2 読み取り",
                  "run cacls \"C:\\share\\docs\" /E /G \"Users:R\"", "box 1002", "box 1003",
                  "box 1000"},
                 FILE_TARGET},
        PlanCase{"SubdirectoriesTickedForANameThatNamesNothing",
                 {READ, SUBDIRS},
                 {COUNTED, "step 1/2 初期化", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                  "box 1001", "step 2/2 読み取り",
                  "run cacls \"C:\\share\\docs\" /E /G \"Users:R\"", "box 1002", "box 1003",
                  "box 1000"},
                 NOTHING}),
    [](const testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

#undef COUNTED

// A box ticked after the steps were counted (by a message from another
// program; the user cannot reach a busy dialog) still runs its step, and the
// progress never shows a step beyond the last.
TEST(StepProgress, BoxTickedAfterTheCountNeverShowsAStepBeyondTheLast)
{
    struct TickingDialog {
        int reads = 0;
        std::vector<std::string> steps;
    } dialog;
    auto isTicked = [](void* context, int box) {
        auto* d = static_cast<TickingDialog*>(context);
        ++d->reads;
        // Full control reads as unticked while counting (reads 1-5) and as
        // ticked when its step is reached.
        return box == FULL && d->reads > 5;
    };
    auto run = [](void*, char*) -> uint32_t { return 0; };
    auto report = [](void*, const char*, const char*) {};
    auto progress = [](void* context, int stepNumber, int stepCount, const char* stepName) {
        static_cast<TickingDialog*>(context)->steps.push_back(
            std::to_string(stepNumber) + "/" + std::to_string(stepCount) + " " + stepName);
    };
    PermissionStepHooks hooks = {&dialog, isTicked, IsFolder, run, report, progress};
    char buffer[2048];
    RunPermissionSteps(hooks, buffer, sizeof buffer, "C:\\a", "Users", test_code_pages::Cp932());
    EXPECT_EQ(dialog.steps, (std::vector<std::string>{"1/1 初期化", "2/2 フルコントロール"}));
}

// The target may be removed, become a file or become a folder while the
// dialog is open: only what it is at each Apply counts.
TEST(SubdirectoriesStep, WhetherTheTargetIsAFolderIsAskedAtEveryApply)
{
    FakeDialog dialog;
    dialog.ticked = {SUBDIRS};
    for (Target target : {FOLDER, NOTHING, FILE_TARGET, FOLDER}) {
        dialog.target = target;
        Apply(dialog, "C:\\a", "Users");
    }
    std::vector<std::string> runs;
    for (const std::string& event : dialog.events)
        if (event.rfind("run ", 0) == 0)
            runs.push_back(event);
    EXPECT_EQ(runs, (std::vector<std::string>{"run cacls \"C:\\a\" /E /R \"Users\" /T",
                                              "run cacls \"C:\\a\" /E /R \"Users\"",
                                              "run cacls \"C:\\a\" /E /R \"Users\"",
                                              "run cacls \"C:\\a\" /E /R \"Users\" /T"}));
}

TEST(StepFailures, EachFailedStepIsReportedOnItsOwnAndTheSequenceGoesOn)
{
    FakeDialog dialog;
    dialog.ticked = {READ, CHANGE, SUBDIRS};
    dialog.failWhenContains = ":C";
    std::vector<std::string> events = Apply(dialog, "C:\\share\\docs", "Users");
    ASSERT_EQ(events.size(), 16u);
    EXPECT_EQ(events[12], "step 3/3 変更");
    EXPECT_EQ(events[13], "run cacls \"C:\\share\\docs\" /E /G \"Users:C\" /T");
    EXPECT_EQ(events[14],
              "box: C:\\share\\docs の指定ユーザーに対する変更アクセス権の設定に失敗しました。");
    EXPECT_EQ(events[15], "box 1000");
}

TEST(StepFailures, EveryStepFailingGivesOneReportPerStepInOrder)
{
    FakeDialog dialog;
    dialog.ticked = {FULL, READ, WRITE, CHANGE};
    dialog.failWhenContains = "cacls";
    std::vector<std::string> reports;
    for (const std::string& event : Apply(dialog, "X:\\none", "Users"))
        if (event.rfind("box: ", 0) == 0)
            reports.push_back(event.substr(5));
    EXPECT_EQ(
        reports,
        (std::vector<std::string>{
            "X:\\none の指定ユーザーに対するアクセス権の初期化に失敗しました。",
            "X:\\none の指定ユーザーに対する読み取りアクセス権の設定に失敗しました。",
            "X:\\none の指定ユーザーに対する書き込みアクセス権の設定に失敗しました。",
            "X:\\none の指定ユーザーに対する変更アクセス権の設定に失敗しました。",
            "X:\\none の指定ユーザーに対するフルコントロールアクセス権の設定に失敗しました。"}));
}

}  // namespace
