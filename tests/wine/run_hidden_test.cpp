// The hidden command runner, with real child processes: the stand-in tool in
// the prefix's system folders takes the place of the system's cacls.
#include <gtest/gtest.h>

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "permissions/run_hidden.h"
#include "wine_test_support.h"

namespace {

class RunHiddenTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = FreshWorkFolder();
        log_ = ResetToolStandIn(folder_);
        GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(previousDirectory_);
        ResetToolStandIn(folder_);
        SetVariable("QUORVEL_STANDIN_LOG", "");
    }

    DWORD Run(const std::string& commandLine)
    {
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        return RunHidden(line.data());
    }

    std::string folder_;
    std::string log_;
    char previousDirectory_[MAX_PATH] = {};
};

struct ExitCase {
    const char* name;
    const char* failOn;
    const char* exitCode;
    DWORD expected;
};

class RunHiddenExitCode : public RunHiddenTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(RunHiddenExitCode, IsTheChildsOwn)
{
    SetVariable("QUORVEL_STANDIN_FAIL_ON", GetParam().failOn);
    SetVariable("QUORVEL_STANDIN_EXIT_CODE", GetParam().exitCode);
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), GetParam().expected);
    EXPECT_EQ(ReadToolRuns(log_).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Table, RunHiddenExitCode,
                         testing::Values(ExitCase{"Success", "", "", 0},
                                         ExitCase{"Five", "Users", "5", 5},
                                         ExitCase{"Large", "Users", "1332", 1332}),
                         [](const testing::TestParamInfo<ExitCase>& info) {
                             return info.param.name;
                         });

TEST_F(RunHiddenTest, ChildStartsHiddenInTheProgramsCurrentDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /G \"Users:R\""), 0u);
    std::vector<ToolRun> runs = ReadToolRuns(log_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].commandLine, "cacls \"C:\\x\" /E /G \"Users:R\"");
    EXPECT_EQ(runs[0].directory, folder_);
    // STARTF_USESHOWWINDOW with SW_HIDE.
    EXPECT_EQ(runs[0].show, "1 0");
}

// 130 characters of 表 are 260 bytes in code page 932: the folder's path is
// short enough for Windows but too long for the runner's 260-byte buffer.
TEST_F(RunHiddenTest, CurrentDirectoryTooLongForTheBufferIsStillTheChilds)
{
    std::wstring wideFolder(folder_.begin(), folder_.end());
    wideFolder += L"\\" + std::wstring(130, L'\x8868');
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(wideFolder.c_str()));
    char probe[260];
    ASSERT_GT(GetCurrentDirectoryA(sizeof probe, probe), sizeof probe);

    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), 0u);
    std::vector<ToolRun> runs = ReadToolRuns(log_);
    ASSERT_EQ(runs.size(), 1u);
    std::string hyou130;
    for (int i = 0; i < 130; ++i)
        hyou130 += "\x95\x5C";
    EXPECT_EQ(runs[0].directory, folder_ + "\\" + hyou130);
}

// The first word is handed over as it is and never chooses the program: a
// cacls.exe in the current directory would be found first by name.
TEST_F(RunHiddenTest, StartsTheSystemToolWhateverTheCommandLineAndCurrentDirectoryHold)
{
    char standIn[MAX_PATH] = {};
    GetSystemDirectoryA(standIn, MAX_PATH);
    ASSERT_TRUE(CopyFileA((std::string(standIn) + "\\cacls.exe").c_str(),
                          (folder_ + "\\cacls.exe").c_str(), FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), 0u);
    EXPECT_EQ(Run("no-such-program-quorvel-test.exe /x"), 0u);
    std::vector<ToolRun> runs = ReadToolRuns(log_);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].commandLine, "no-such-program-quorvel-test.exe /x");
    for (const ToolRun& run : runs)
        EXPECT_TRUE(RanTheSystemTool(run));
}

// A window of the test's own thread that notes what reaches it and when, on
// the stand-in's clock.
struct Received {
    std::vector<UINT> messages;
    long long firstTimer = 0;
};
Received g_received;

LRESULT CALLBACK NoteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == WM_APP || message == WM_KEYDOWN || message == WM_CHAR ||
        message == WM_LBUTTONDOWN) {
        g_received.messages.push_back(message);
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (message == WM_TIMER && g_received.firstTimer == 0)
            g_received.firstTimer = now.QuadPart;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class RunHiddenWaitTest : public RunHiddenTest {
protected:
    void SetUp() override
    {
        RunHiddenTest::SetUp();
        g_received = Received();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = NoteMessage;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuorvelRunHiddenWait";
        RegisterClassW(&windowClass);
        window_ = CreateWindowW(L"QuorvelRunHiddenWait", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        SetVariable("QUORVEL_STANDIN_SLEEP_ON", "Users");
        SetVariable("QUORVEL_STANDIN_SLEEP_MS", "600");
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        MSG left;
        while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
        }
        RunHiddenTest::TearDown();
    }
    HWND window_ = nullptr;
};

TEST_F(RunHiddenWaitTest, MessagesAreDispatchedWhileTheChildRuns)
{
    SetTimer(window_, 1, 50, nullptr);
    PostMessageW(window_, WM_APP, 0, 0);
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), 0u);
    KillTimer(window_, 1);
    std::vector<ToolRun> runs = ReadToolRuns(log_);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_NE(runs[0].finish, 0);
    EXPECT_NE(std::count(g_received.messages.begin(), g_received.messages.end(), WM_APP), 0);
    EXPECT_GE(std::count(g_received.messages.begin(), g_received.messages.end(), WM_TIMER), 3);
    EXPECT_LT(g_received.firstTimer, runs[0].finish);
}

TEST_F(RunHiddenWaitTest, InputPostedMeanwhileIsDropped)
{
    PostMessageW(window_, WM_KEYDOWN, VK_SPACE, 1);
    PostMessageW(window_, WM_CHAR, 'x', 1);
    PostMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(window_, WM_APP, 0, 0);
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), 0u);
    EXPECT_EQ(g_received.messages, std::vector<UINT>{WM_APP});
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, window_, 0, 0, PM_REMOVE));
}

// A WM_QUIT belongs to the message loop that called the runner: the child is
// still waited for, and the quit is there again, with its code, afterwards.
TEST_F(RunHiddenWaitTest, QuitIsPostedAgainAfterTheChildHasEnded)
{
    PostQuitMessage(7);
    EXPECT_EQ(Run("cacls \"C:\\x\" /E /R \"Users\""), 0u);
    std::vector<ToolRun> runs = ReadToolRuns(log_);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NE(runs[0].finish, 0);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);

// GetProcessHandleCount answers 0 under Wine; the system's handle table is
// counted instead.
size_t CountOwnHandles()
{
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query(kSystemHandleInformation, buffer.data(), buffer.size(), &needed) != 0)
        buffer.resize(buffer.size() * 2);
    // The entries follow the count at their own alignment: 4 bytes into a
    // 32-bit process's table, 8 into a 64-bit one's.
    struct HandleTable {
        ULONG count;
        HandleEntry entries[1];
    };
    ULONG count;
    memcpy(&count, buffer.data(), sizeof count);
    const HandleEntry* entries =
        reinterpret_cast<const HandleEntry*>(buffer.data() + offsetof(HandleTable, entries));
    size_t own = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == GetCurrentProcessId())
            ++own;
    return own;
}

// Under Wine, now and then the system fails to start the child at all: its
// CreateProcess fails, as `wine prog.exe` from the shell now and then exits at
// once without a word. The runner rightly reports such a run as not started,
// and the stand-in writes nothing. That is told apart from a run that was
// started and left no record (a lost run): each run must add exactly one
// record when it started and none when it did not, and a run the system did
// not start is made once more, so that every one of the runs is still
// started and recorded. More than a few such failures is no chance any more.
TEST_F(RunHiddenTest, ManyRunsLeaveNoHandleOpen)
{
    const int kRuns = 51;
    const int kFailedStartsAllowed = 2;
    int started = 0;
    int failedStarts = 0;
    std::string failures;
    size_t before = 0;
    while (started < kRuns && failedStarts <= kFailedStartsAllowed) {
        size_t recordsBefore = ReadToolRuns(log_).size();
        DWORD exitCode = Run("cacls \"C:\\x\" /E /R \"Users\"");
        DWORD startError = GetLastError();
        size_t added = ReadToolRuns(log_).size() - recordsBefore;
        if (exitCode == kRunHiddenNotStarted) {
            ++failedStarts;
            failures += " run " + std::to_string(started + 1) + ": CreateProcess error " +
                        std::to_string(startError) + ";";
            EXPECT_EQ(added, 0u) << "a run reported as not started left a record";
            continue;
        }
        ++started;
        EXPECT_EQ(exitCode, 0u) << "run " << started;
        ASSERT_EQ(added, 1u) << "run " << started << " ended with " << exitCode
                             << " and left no record (a lost run)";
        // The first run loads what later runs reuse.
        if (started == 1) {
            before = CountOwnHandles();
            ASSERT_GT(before, 0u);
        }
    }
    EXPECT_LE(failedStarts, kFailedStartsAllowed) << "runs the system did not start:" << failures;
    EXPECT_EQ(CountOwnHandles(), before) << "runs the system did not start:" << failures;
    EXPECT_EQ(ReadToolRuns(log_).size(), static_cast<size_t>(kRuns));
    if (failedStarts > 0)
        std::printf("runs the system did not start, made once more:%s\n", failures.c_str());
}

}  // namespace
