// The hidden command runner, with real child processes: the stand-in tool in
// the prefix's system folders takes the place of the system's cacls.
#include <gtest/gtest.h>

#include <stddef.h>
#include <string.h>

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

TEST_F(RunHiddenTest, ManyRunsLeaveNoHandleOpen)
{
    Run("cacls \"C:\\x\" /E /R \"Users\"");  // the first run loads what later runs reuse
    size_t before = CountOwnHandles();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 50; ++i)
        Run("cacls \"C:\\x\" /E /R \"Users\"");
    EXPECT_EQ(CountOwnHandles(), before);
    EXPECT_EQ(ReadToolRuns(log_).size(), 51u);
}

}  // namespace
