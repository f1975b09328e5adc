// A DLL planted beside the program or in its working folder, as in a
// download folder, under the name of a system DLL: it must never be loaded,
// whatever the program does. The copies record their loading and decline to
// stay loaded (tests/wine/planted).
#include <fstream>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "resources/resource.h"

namespace {

// Every name Wine's loader takes in the program's process in these runs
// (seen with WINEDEBUG=+pid,+loaddll), those that the dialogs and the shell
// take by name on some Windows version, and some that the account lookups
// and the security calls load on Windows.
const char* const kPlantedNames[] = {
    "advapi32",  "apphelp",  "clbcatq", "combase", "comctl32",     "comdlg32",    "compstui",
    "cryptbase", "dwmapi",   "gdi32",   "imm32",   "kernel32",     "kernelbase",  "msimg32",
    "msvcrt",    "netapi32", "ole32",   "oleacc",  "oleaut32",     "propsys",     "rpcrt4",
    "sechost",   "setupapi", "shcore",  "shell32", "shlwapi",      "ucrtbase",    "user32",
    "userenv",   "uxtheme",  "version", "win32u",  "winspool.drv", "winex11.drv", "zlib1",
    "sspicli",   "profapi",  "ntmarta", "cryptsp", "wldp"};

struct Build {
    const char* name;
    const char* exe;
    const char* probe;  // QUORVEL_PROBE, or "" for the shipped exe
};

class PlantedDllTest : public ProgramTest, public testing::WithParamInterface<Build> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        appFolder_ = folder_ + "\\Downloads";
        ASSERT_TRUE(CreateDirectoryA(appFolder_.c_str(), nullptr));
        exe_ = appFolder_ + "\\" + GetParam().exe;
        ASSERT_TRUE(
            CopyFileA((BinaryFolder() + "\\" + GetParam().exe).c_str(), exe_.c_str(), FALSE));
        std::string planted = BinaryFolder() + "\\planted.dll";
        for (const char* name : kPlantedNames) {
            std::string file = std::string(name) +
                               (std::string(name).find('.') == std::string::npos ? ".dll" : "");
            ASSERT_TRUE(CopyFileA(planted.c_str(), (appFolder_ + "\\" + file).c_str(), FALSE))
                << file;
            ASSERT_TRUE(CopyFileA(planted.c_str(), (folder_ + "\\" + file).c_str(), FALSE)) << file;
        }
        plantedLog_ = folder_ + "\\planted.log";
        SetVariable("QUORVEL_PLANTED_LOG", plantedLog_);
        SetVariable("QUORVEL_PROBE", GetParam().probe);
    }

    // Whatever else a test sees, and even where the program never showed
    // the window it waited for, no planted copy may have been loaded: looked
    // at once the program has ended.
    void TearDown() override
    {
        ProgramTest::TearDown();
        EXPECT_EQ(PlantedLoads(), std::vector<std::string>{});
        SetVariable("QUORVEL_PLANTED_LOG", "");
        SetVariable("QUORVEL_PROBE", "");
    }

    // Each load of a planted copy, as it recorded it.
    std::vector<std::string> PlantedLoads() const
    {
        std::vector<std::string> loads;
        std::ifstream log(plantedLog_);
        for (std::string line; std::getline(log, line);)
            loads.push_back(line);
        return loads;
    }

    // Started bare, as by a double click on the exe in the download folder.
    HWND StartBare()
    {
        StartWith("");
        return ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    }

    std::string appFolder_;
    std::string plantedLog_;
};

TEST_P(PlantedDllTest, NoneIsLoadedWhenTheOpenFileDialogIsCancelled)
{
    HWND chooser = StartBare();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(CancelChooserAndAnswerUsage(chooser), 0u);
}

TEST_P(PlantedDllTest, NoneIsLoadedWhenAChosenFileIsApplied)
{
    std::string target = folder_ + "\\report.txt";
    WriteFileText(target, "x");
    HWND chooser = StartBare();
    ASSERT_NE(chooser, nullptr);
    ui::SetItemText(chooser, FileNameField(chooser), target);
    ui::PostCommand(chooser, IDOK);
    HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
    EXPECT_EQ(Runs().size(), 5u);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_P(PlantedDllTest, NoneIsLoadedWhenADroppedTargetsStepFails)
{
    SetVariable("QUORVEL_STANDIN_FAIL_ON", ":C");
    HWND dialog = OpenDialog("\"" + folder_ + "\"");
    ASSERT_NE(dialog, nullptr);
    std::vector<ui::MessageBoxText> boxes = ApplyAndAnswerBoxes(dialog);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(IsStepFailure(boxes[0]));
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// The shipped exe narrows the search with SetDefaultDllDirectories, which
// Wine has; the probe, the same sources, plays a system without that call,
// where the program narrows it the older way and loads the DLLs the dialogs
// take by name from the system folder first.
INSTANTIATE_TEST_SUITE_P(Builds, PlantedDllTest,
                         testing::Values(Build{"Shipped", "quorvel.exe", ""},
                                         Build{"WithoutTheNewerCall", "quorvel_probe.exe",
                                               "old-dll-search"}),
                         [](const testing::TestParamInfo<Build>& info) { return info.param.name; });

}  // namespace
