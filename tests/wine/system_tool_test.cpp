// Which cacls the program starts: the system's own, by its full path, and
// under WOW64 the native one, which sees the system folder the user named.
#include <string>
#include <vector>

#include "program_fixture.h"

namespace {

std::vector<std::string> DefaultApplyCommands(const std::string& target)
{
    std::string user = CurrentUserName();
    std::vector<std::string> commands = {"cacls \"" + target + "\" /E /R \"" + user + "\""};
    for (const char* right : {"R", "W", "C", "F"})
        commands.push_back("cacls \"" + target + "\" /E /G \"" + user + ":" + right + "\"");
    return commands;
}

class SystemToolTest : public ProgramTest {
protected:
    void TearDown() override
    {
        if (!nativeOnlyFile_.empty())
            DeleteFileA(nativeOnlyFile_.c_str());
        ProgramTest::TearDown();
    }

    // Opens the dialog with the default choices, applies them and returns
    // the runs the stand-in recorded; no step may fail.
    std::vector<ToolRun> ApplyDefaults(const std::string& commandLine)
    {
        StartRaw(commandLine);
        HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
        EXPECT_NE(dialog, nullptr) << commandLine;
        if (dialog == nullptr)
            return {};
        EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
        EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
        return Runs();
    }

    std::string nativeOnlyFile_;
};

// A cacls.exe beside the program and one in the folder it was started in
// (Downloads, a USB stick) are found first by a search for the name; neither
// may ever run in place of the system's.
TEST_F(SystemToolTest, PlantedCopiesBesideTheProgramAndInTheWorkingFolderNeverRun)
{
    std::string appFolder = folder_ + "\\app";
    ASSERT_TRUE(CreateDirectoryA(appFolder.c_str(), nullptr));
    std::string exe = appFolder + "\\quorvel.exe";
    ASSERT_TRUE(CopyFileA(exe_.c_str(), exe.c_str(), FALSE));
    std::string standIn = SystemFolder() + "\\cacls.exe";
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (appFolder + "\\cacls.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (folder_ + "\\cacls.exe").c_str(), FALSE));

    std::vector<ToolRun> runs = ApplyDefaults("\"" + exe + "\" \"" + folder_ + "\"");
    EXPECT_EQ(CommandLines(runs), DefaultApplyCommands(folder_));
    for (const ToolRun& run : runs)
        EXPECT_TRUE(RanTheSystemTool(run));
}

// Under WOW64 a 32-bit tool would read C:\Windows\System32\... in SysWOW64
// and so change, or miss, another file. Every step must run the native tool,
// which sees the file that exists only in the native system folder; the
// command lines name the path as the user gave it.
TEST_F(SystemToolTest, EveryStepSeesAFileThatExistsOnlyInTheNativeSystemFolder)
{
    std::string name = "quorvel-test-" + std::to_string(GetCurrentProcessId()) + ".txt";
    nativeOnlyFile_ = NativeSystemFolder() + "\\" + name;
    WriteFileText(nativeOnlyFile_, "x");
    std::string target = SystemFolder() + "\\" + name;
    if (UnderWow64()) {
        ASSERT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the file must not be visible in the redirected system folder";
    }
    SetVariable("QUORVEL_STANDIN_FAIL_MISSING", "1");

    std::vector<ToolRun> runs = ApplyDefaults("\"" + exe_ + "\" \"" + target + "\"");
    EXPECT_EQ(CommandLines(runs), DefaultApplyCommands(target));
    for (const ToolRun& run : runs) {
        EXPECT_TRUE(RanTheSystemTool(run));
        EXPECT_EQ(run.pathExists, "1") << run.commandLine;
    }
}

}  // namespace
