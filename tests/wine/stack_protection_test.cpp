// The protections built into the program's code, proven through the
// program's probe (the shipped sources and flags, with a look at each step):
// the stack guard that the entry seeds, the end of the process when a guard
// is found changed, and, in the 64-bit build, the unwind data that lets
// Windows walk the program's stack.
#include <sstream>
#include <string>
#include <vector>

#include "program_fixture.h"

namespace {

constexpr DWORD kStackBufferOverrun = 0xC0000409;

class StackProtectionTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        exe_ = BinaryFolder() + "\\quorvel_probe.exe";
        probeLog_ = folder_ + "\\probe.log";
        SetVariable("QUORVEL_PROBE_LOG", probeLog_);
    }

    void TearDown() override
    {
        ProgramTest::TearDown();
        SetVariable("QUORVEL_PROBE", "");
        SetVariable("QUORVEL_PROBE_LOG", "");
    }

    // Opens the probe on the work folder and runs one Apply with every
    // right ticked (five steps), answering no box; returns once the Apply is
    // over or the program has ended.
    HWND ApplyOnce()
    {
        HWND dialog = OpenDialog("\"" + folder_ + "\"");
        if (dialog == nullptr)
            return nullptr;
        ui::RunningApply apply = ui::StartApply(dialog);
        EXPECT_TRUE(ui::FinishApply(apply));
        return dialog;
    }

    std::vector<std::string> ProbeLines(const std::string& word) const
    {
        return ReadProbeLines(probeLog_, word);
    }

    std::string probeLog_;
};

TEST_F(StackProtectionTest, AnOverrunInAStepEndsTheProgramAtOnceAndNoLaterStepRuns)
{
    SetVariable("QUORVEL_PROBE", "overrun");
    ASSERT_NE(ApplyOnce(), nullptr);
    // No box waits for an answer: the process has ended by itself, with the
    // code Windows gives a stack buffer overrun.
    EXPECT_EQ(ui::WaitForExit(program_), kStackBufferOverrun);
    EXPECT_EQ(ProbeLines("overrun").size(), 1u);
    // The revoking step ran; the second overran its guard instead of
    // running, and none of the three after it ran.
    std::vector<ToolRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1u) << testing::PrintToString(CommandLines(runs));
    EXPECT_NE(runs[0].commandLine.find(" /E /R "), std::string::npos) << runs[0].commandLine;
}

TEST_F(StackProtectionTest, WithoutAnOverrunEveryStepRunsAndTheProgramEndsNormally)
{
    HWND dialog = ApplyOnce();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Runs().size(), 5u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_F(StackProtectionTest, EveryStartSeedsADifferentGuard)
{
    std::vector<std::string> guards;
    for (int start = 0; start < 3; ++start) {
        HWND dialog = ApplyOnce();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(CancelAndWaitForExit(dialog), 0u);
        guards = ProbeLines("guard");
        ASSERT_EQ(guards.size(), static_cast<size_t>(start + 1));
        EXPECT_NE(guards.back(), "0") << "the guard was never seeded";
        for (int earlier = 0; earlier < start; ++earlier)
            EXPECT_NE(guards[earlier], guards.back()) << "starts " << earlier << " and " << start;
    }
}

#ifdef _WIN64
struct StackWalk {
    unsigned frames = 0, ours = 0, unlisted = 0, end = 0;
};
constexpr unsigned kWalkAtEntry = 1, kWalkAtCallback = 2;

// What Windows does to dispatch an exception raised in a step, to write a
// crash dump or to show a debugger's call stack: walk the stack by the
// exception directory. Every frame of the program's must have its unwind
// data. From a step, the walk comes through the applier's and the dialog
// procedure's frames and the dialog manager's to the point where the system
// called the dialog procedure back from the kernel; Windows unwinds on from
// there, but Wine 8.0 cannot, so the frames under the dialog are walked from
// the start of the dialog, where the entry calls the common controls.
TEST_F(StackProtectionTest, WalksOfTheStackFromAStepAndFromTheStartReachTheEntryFrameByFrame)
{
    SetVariable("QUORVEL_PROBE", "walk");
    HWND dialog = ApplyOnce();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
    auto walkFrom = [this](const char* where) {
        std::vector<std::string> lines = ProbeLines(std::string("walk-from-") + where);
        EXPECT_EQ(lines.size(), 1u) << where;
        StackWalk walk;
        if (!lines.empty())
            std::istringstream(lines[0]) >> walk.frames >> walk.ours >> walk.unlisted >> walk.end;
        EXPECT_EQ(walk.unlisted, 0u) << "frames of the program without unwind data, from the "
                                     << where << ": " << testing::PrintToString(lines);
        return walk;
    };
    StackWalk fromStart = walkFrom("start");
    EXPECT_EQ(fromStart.end, kWalkAtEntry);
    // The walker, the probe, the code that opens the dialog, the entry.
    EXPECT_GE(fromStart.ours, 4u);

    StackWalk fromStep = walkFrom("step");
    EXPECT_TRUE(fromStep.end == kWalkAtEntry || fromStep.end == kWalkAtCallback)
        << "the walk from a step went astray after " << fromStep.frames << " frames";
    // The walker, the probe, the step, the applier, the dialog procedure at
    // least, and the dialog manager's frames beyond them.
    EXPECT_GE(fromStep.ours, 5u);
    EXPECT_GT(fromStep.frames, fromStep.ours);
}
#endif

}  // namespace
