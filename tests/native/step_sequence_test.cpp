// Which steps one Apply runs, in which order, and what it reports.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "permissions/step_sequence.h"

namespace {

enum Box { FULL = 1000, READ = 1001, WRITE = 1002, CHANGE = 1003, SUBDIRS = 1006 };

// A dialog and a tool stand-in: the boxes that read as ticked, the commands
// that fail, and everything the sequence asked for, in order.
struct FakeDialog {
    std::set<int> ticked;
    std::string failWhenContains = "\x01";  // matches nothing by default
    std::vector<std::string> events;
};

bool IsTicked(void* context, int box)
{
    auto* dialog = static_cast<FakeDialog*>(context);
    dialog->events.push_back("box " + std::to_string(box));
    return dialog->ticked.count(box) != 0;
}

uint32_t Run(void* context, char* commandLine)
{
    auto* dialog = static_cast<FakeDialog*>(context);
    dialog->events.push_back(std::string("run ") + commandLine);
    return std::string(commandLine).find(dialog->failWhenContains) != std::string::npos ? 5 : 0;
}

void Report(void* context, const char* message)
{
    static_cast<FakeDialog*>(context)->events.push_back(std::string("box: ") + message);
}

std::vector<std::string> Apply(FakeDialog& dialog, const char* path, const char* user)
{
    PermissionStepHooks hooks = {&dialog, IsTicked, Run, Report};
    char buffer[2048];
    RunPermissionSteps(hooks, buffer, sizeof buffer, path, user);
    return dialog.events;
}

struct PlanCase {
    const char* name;
    std::set<int> ticked;
    std::vector<std::string> events;
};

class StepPlan : public testing::TestWithParam<PlanCase> {};

TEST_P(StepPlan, RunsTheRevokeAndEachTickedGrantInOrder)
{
    FakeDialog dialog;
    dialog.ticked = GetParam().ticked;
    EXPECT_EQ(Apply(dialog, "C:\\share\\docs", "Users"), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepPlan,
    testing::Values(PlanCase{"NothingTicked",
                             {},
                             {"box 1006", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                              "box 1001", "box 1002", "box 1003", "box 1000"}},
                    PlanCase{"AllRights",
                             {FULL, READ, WRITE, CHANGE},
                             {"box 1006", "run cacls \"C:\\share\\docs\" /E /R \"Users\"",
                              "box 1001", "run cacls \"C:\\share\\docs\" /E /G \"Users:R\"",
                              "box 1002", "run cacls \"C:\\share\\docs\" /E /G \"Users:W\"",
                              "box 1003", "run cacls \"C:\\share\\docs\" /E /G \"Users:C\"",
                              "box 1000", "run cacls \"C:\\share\\docs\" /E /G \"Users:F\""}},
                    PlanCase{"ReadAndChangeWithSubdirectories",
                             {READ, CHANGE, SUBDIRS},
                             {"box 1006", "run cacls \"C:\\share\\docs\" /E /R \"Users\" /T",
                              "box 1001", "run cacls \"C:\\share\\docs\" /E /G \"Users:R\" /T",
                              "box 1002", "box 1003",
                              "run cacls \"C:\\share\\docs\" /E /G \"Users:C\" /T", "box 1000"}},
                    PlanCase{"OnlySubdirectories",
                             {SUBDIRS},
                             {"box 1006", "run cacls \"C:\\share\\docs\" /E /R \"Users\" /T",
                              "box 1001", "box 1002", "box 1003", "box 1000"}}),
    [](const testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

TEST(StepFailures, EachFailedStepIsReportedOnItsOwnAndTheSequenceGoesOn)
{
    FakeDialog dialog;
    dialog.ticked = {READ, CHANGE, SUBDIRS};
    dialog.failWhenContains = ":C";
    std::vector<std::string> events = Apply(dialog, "C:\\share\\docs", "Users");
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events[6], "run cacls \"C:\\share\\docs\" /E /G \"Users:C\" /T");
    EXPECT_EQ(events[7],
              "box: C:\\share\\docs の指定ユーザーに対する変更アクセス権の設定に失敗しました。");
    EXPECT_EQ(events[8], "box 1000");
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
