// The dialog while a long Apply runs, for the tests that watch it: the
// stand-in tool sleeps in one step to make that step long.
#pragma once

#include <string>
#include <vector>

#include "program_fixture.h"
#include "resources/resource.h"

namespace busy {

const char kSlowStepMs[] = "2500";

// Every run ended, and none started before the one before it had ended.
inline void ExpectOneAfterAnother(const std::vector<ToolRun>& runs)
{
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NE(runs[i].finish, 0) << "run " << i << " never ended";
        if (i > 0) {
            EXPECT_GE(runs[i].start, runs[i - 1].finish)
                << "run " << i << " started before run " << i - 1 << " had ended";
        }
    }
}

}  // namespace busy

class BusyDialogTest : public ProgramTest {
protected:
    HWND OpenOnFolder(const std::string& target)
    {
        target_ = target;
        HWND dialog = OpenDialog("\"" + target_ + "\"");
        if (dialog != nullptr)
            ui::SetItemText(dialog, IDC_USER, "Users");
        return dialog;
    }

    // Makes the step whose command line contains text a long one.
    void SlowDown(const char* text)
    {
        SetVariable("QUORVEL_STANDIN_SLEEP_ON", text);
        SetVariable("QUORVEL_STANDIN_SLEEP_MS", busy::kSlowStepMs);
    }

    // Waits until run number runNumber (from 1) has started and not ended.
    bool WaitUntilRunning(size_t runNumber)
    {
        DWORD start = GetTickCount();
        do {
            std::vector<ToolRun> runs = Runs();
            if (runs.size() >= runNumber && runs[runNumber - 1].finish == 0)
                return true;
            Sleep(10);
        } while (GetTickCount() - start < ui::kDefaultTimeoutMs);
        return false;
    }

    std::string Caption(const char* progress) const
    {
        return std::string(progress) + target_ + " - Quorvel";
    }

    // Progress shows once the Apply has run for a while, not at once.
    static bool WaitForCaption(HWND dialog, const std::string& caption)
    {
        DWORD start = GetTickCount();
        do {
            if (ui::Text(dialog) == caption)
                return true;
            Sleep(10);
        } while (GetTickCount() - start < ui::kDefaultTimeoutMs);
        return false;
    }

    // While a step runs: the dialog answers a message within withinMs, takes
    // no input, and shows the step's progress.
    void ExpectToAnswerWhileTheStepRuns(HWND dialog, const char* progress, UINT withinMs) const
    {
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, withinMs, &result), 0u);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        EXPECT_TRUE(WaitForCaption(dialog, Caption(progress)));
    }

    // WM_QUERYENDSESSION as the system sends it when the user logs off.
    static LRESULT QueryEndSession(HWND dialog)
    {
        DWORD_PTR result = 0xBAD;
        EXPECT_NE(SendMessageTimeoutW(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                      ui::kDefaultTimeoutMs, &result),
                  0);
        return static_cast<LRESULT>(result);
    }

    std::string target_;
};
