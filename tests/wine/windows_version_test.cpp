// The wait that keeps the dialog answering during a long step, on each
// Windows version the exes claim. Wine reports to one program the version
// that its per-program key names (HKCU\Software\Wine\AppDefaults\<exe
// name>, value Version), so each test starts a copy of the program under a
// name of its own. Wine accepts every wake mask whatever version it
// reports: what the program asks for is read through its probe (the shipped
// sources and flags, with the wait's import wrapped), and what an older
// Windows might refuse is played by the probe's stand-in wait.
#include <string>
#include <vector>

#include "busy_fixture.h"

namespace {

struct WindowsVersion {
    const char* name;  // Wine's name for it
    unsigned major, minor;
    const char* mask;  // every kind of input that version defines, in hexadecimal
};

// Every version the exes claim, in every prefix: Wine reports each to a
// 32-bit program, in its own prefix and under WOW64, and to a 64-bit one.
const WindowsVersion kVersions[] = {
    {"nt40", 4, 0, "ff"},     {"win2k", 5, 0, "ff"}, {"winxp", 5, 1, "4ff"},
    {"winxp64", 5, 2, "4ff"}, {"win7", 6, 1, "4ff"}, {"win10", 10, 0, "1cff"},
};

class OnWindowsVersion : public BusyDialogTest, public testing::WithParamInterface<WindowsVersion> {
protected:
    void TearDown() override
    {
        BusyDialogTest::TearDown();
        if (!appDefaults_.empty())
            RegDeleteKeyW(HKEY_CURRENT_USER, appDefaults_.c_str());
        SetVariable("QUORVEL_PROBE", "");
        SetVariable("QUORVEL_PROBE_LOG", "");
    }

    // Copies the program (the shipped exe, or its probe) into the work
    // folder under a name of its own, to which Wine reports the version.
    // Tests run side by side, so each test's name is its own: tag and
    // version.
    void RunAs(const char* program, const char* tag, const WindowsVersion& version)
    {
        std::string name = std::string(tag) + "-" + version.name + ".exe";
        std::string copy = folder_ + "\\" + name;
        ASSERT_TRUE(CopyFileA((BinaryFolder() + "\\" + program).c_str(), copy.c_str(), FALSE));
        exe_ = copy;
        appDefaults_ = L"Software\\Wine\\AppDefaults\\" + WidenCp932(name);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, appDefaults_.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        std::wstring value = WidenCp932(version.name);
        LONG set =
            RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        ASSERT_EQ(set, ERROR_SUCCESS);
    }

    void RunProbeAs(const WindowsVersion& version, const char* mode)
    {
        RunAs("quorvel_probe.exe", mode[0] == '\0' ? "probe" : mode, version);
        probeLog_ = folder_ + "\\probe.log";
        SetVariable("QUORVEL_PROBE_LOG", probeLog_);
        SetVariable("QUORVEL_PROBE", mode);
    }

    // One Apply whose third step is long: meanwhile the dialog answers at
    // once, takes no input, shows the step, and keeps the session from
    // ending; afterwards every step has run, one after another.
    void ExpectTheDialogToAnswerDuringALongStep()
    {
        SlowDown("Users:W");
        HWND dialog = OpenOnFolder(folder_);
        ASSERT_NE(dialog, nullptr);
        ui::RunningApply apply = ui::StartApply(dialog);
        ASSERT_TRUE(WaitUntilRunning(3));
        // Within a second, where a wait blind to messages would take the
        // rest of the step: these tests run beside others.
        ExpectToAnswerWhileTheStepRuns(dialog, "[3/5 書き込み] ", 1000);
        EXPECT_EQ(QueryEndSession(dialog), 0);
        EXPECT_EQ(Runs().size(), 3u) << "the long step ended before the dialog answered";
        ASSERT_TRUE(ui::FinishApply(apply));
        std::vector<ToolRun> runs = Runs();
        EXPECT_EQ(runs.size(), 5u);
        busy::ExpectOneAfterAnother(runs);
        EXPECT_EQ(ui::Text(dialog), target_ + " - Quorvel");
        EXPECT_TRUE(IsWindowEnabled(dialog));
        EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
    }

    std::vector<std::string> ProbeLines(const std::string& word) const
    {
        return ReadProbeLines(probeLog_, word);
    }

    static std::string VersionLine(const WindowsVersion& version)
    {
        return std::to_string(version.major) + " " + std::to_string(version.minor);
    }

    std::wstring appDefaults_;
    std::string probeLog_;
};

TEST_P(OnWindowsVersion, TheShippedProgramAnswersDuringALongStep)
{
    RunAs("quorvel.exe", "quorvel", GetParam());
    ExpectTheDialogToAnswerDuringALongStep();
}

// Every wait of the Apply is given exactly the kinds of input that the
// reported version defines: none it lacks, and on Windows 8 and later the
// touch and pen input without which Windows takes a program for hung.
TEST_P(OnWindowsVersion, TheWaitAsksForExactlyTheInputThatVersionDefines)
{
    RunProbeAs(GetParam(), "");
    ExpectTheDialogToAnswerDuringALongStep();
    EXPECT_EQ(ProbeLines("version"), std::vector<std::string>{VersionLine(GetParam())})
        << "Wine did not report the version to the program";
    EXPECT_EQ(ProbeLines("wait"), std::vector<std::string>{GetParam().mask});
    EXPECT_EQ(ProbeLines("refused"), std::vector<std::string>{});
}

// A user32 that refuses, as an invalid parameter, every bit outside NT
// 4.0's kinds of input, on a version that defines more: the wait is asked
// again with NT 4.0's, and the dialog still answers while the step runs,
// never waiting for it blind.
class OnWindowsVersionWithNewerInput : public OnWindowsVersion {};

TEST_P(OnWindowsVersionWithNewerInput, AWaitThatRefusesNewerInputIsAskedAgainWithTheOldest)
{
    RunProbeAs(GetParam(), "old-wait");
    ExpectTheDialogToAnswerDuringALongStep();
    EXPECT_EQ(ProbeLines("version"), std::vector<std::string>{VersionLine(GetParam())});
    EXPECT_EQ(ProbeLines("refused"), std::vector<std::string>{GetParam().mask});
    EXPECT_EQ(ProbeLines("wait"), std::vector<std::string>{"ff"});
}

std::vector<WindowsVersion> VersionsWithNewerInput()
{
    std::vector<WindowsVersion> versions;
    for (const WindowsVersion& version : kVersions) {
        if (std::string(version.mask) != "ff")
            versions.push_back(version);
    }
    return versions;
}

INSTANTIATE_TEST_SUITE_P(Table, OnWindowsVersion, testing::ValuesIn(kVersions),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param.name;
                         });

INSTANTIATE_TEST_SUITE_P(Table, OnWindowsVersionWithNewerInput,
                         testing::ValuesIn(VersionsWithNewerInput()),
                         [](const testing::TestParamInfo<WindowsVersion>& info) {
                             return info.param.name;
                         });

}  // namespace
