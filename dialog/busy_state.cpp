#include "dialog/busy_state.h"

#include "app/app_state.h"
#include "app/screen_text.h"
#include "app/system_folder.h"
#include "dialog/progress_title.h"

namespace {

// A quick Apply shows no progress: a caption that changed at every step of a
// second's work would only flicker, and each change costs Wine a few ms.
constexpr UINT kProgressDelayMs = 500;
constexpr UINT_PTR kProgressTimerId = 1;
// "[5/5 フルコントロール] " with room to spare.
constexpr size_t kProgressSize = 64;

struct BusyState {
    bool busy;
    bool applying;       // the steps of an Apply run
    bool progressDue;    // the Apply has run long enough to show its progress
    bool progressShown;  // the caption was changed and must be put back
    HWND focus;          // the dialog's control that had the focus, or nullptr
    // The step that runs, once one does.
    int stepNumber;
    int stepCount;
    const char* stepName;
};

BusyState g_busy;

void ShowCurrentStep(HWND dialog)
{
    if (g_busy.stepName == nullptr)
        return;
    // The progress is the program's own text and the title holds the path,
    // each in its own code page: composed apart, they are widened apart.
    char progress[kProgressSize];
    size_t length = 0;
    if (ComposeProgressTitle(progress, sizeof progress, g_busy.stepNumber, g_busy.stepCount,
                             g_busy.stepName, "") &&
        AppendOwnText(g_app.progressTitle, kTitleSize, &length, progress) &&
        AppendSystemText(g_app.progressTitle, kTitleSize, &length, g_app.title)) {
        SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.progressTitle));
        g_busy.progressShown = true;
    }
}

}  // namespace

bool IsDialogBusy()
{
    return g_busy.busy;
}

void EnterBusyState(HWND dialog)
{
    HWND focus = GetFocus();
    g_busy.focus = (focus != nullptr && IsChild(dialog, focus)) ? focus : nullptr;
    g_busy.busy = true;
    // A disabled dialog takes no input from mouse or keyboard, and disabling
    // it takes the focus away.
    EnableWindow(dialog, FALSE);
}

void EnterApplyRun(HWND dialog)
{
    g_busy.applying = true;
    SetTimer(dialog, kProgressTimerId, kProgressDelayMs, nullptr);
    // Vista and later ask the user before they end a session that a window
    // blocks, and show this reason; older systems go by WM_QUERYENDSESSION
    // alone.
    auto create = reinterpret_cast<ShutdownBlockReasonCreateFunction>(
        LoadedSystemFunction("user32.dll", "ShutdownBlockReasonCreate"));
    if (create != nullptr)
        create(dialog, L"アクセス許可を変更しています");
}

void ShowStepProgress(HWND dialog, int stepNumber, int stepCount, const char* stepName)
{
    // A message box enables its owner when it closes: after the failure box
    // of the step before, the dialog must be disabled again. Between the box
    // and this call the thread reads no message, so no input slips through.
    EnableWindow(dialog, FALSE);
    g_busy.stepNumber = stepNumber;
    g_busy.stepCount = stepCount;
    g_busy.stepName = stepName;
    if (g_busy.progressDue)
        ShowCurrentStep(dialog);
}

void OnProgressDelayElapsed(HWND dialog)
{
    KillTimer(dialog, kProgressTimerId);
    // One already queued when the Apply ended comes too late.
    if (!g_busy.applying)
        return;
    g_busy.progressDue = true;
    // The wait for a long step dispatches this, so its progress shows while
    // it still runs.
    ShowCurrentStep(dialog);
}

BOOL AnswerQueryEndSession(HWND dialog)
{
    // Outside an Apply the dialog manager answers, and the session may end.
    if (!g_busy.applying)
        return FALSE;
    // Ended now, the Apply would leave the target with the user's old rights
    // revoked and the new ones granted only in part.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
    return TRUE;
}

void LeaveBusyState(HWND dialog)
{
    if (g_busy.applying) {
        KillTimer(dialog, kProgressTimerId);
        auto destroy = reinterpret_cast<ShutdownBlockReasonDestroyFunction>(
            LoadedSystemFunction("user32.dll", "ShutdownBlockReasonDestroy"));
        if (destroy != nullptr)
            destroy(dialog);
    }
    if (g_busy.progressShown)
        SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.title));
    EnableWindow(dialog, TRUE);
    // Only when the dialog is active: setting the focus would otherwise
    // activate it over whatever the user turned to meanwhile.
    if (g_busy.focus != nullptr && GetActiveWindow() == dialog)
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(g_busy.focus), TRUE);
    g_busy = BusyState{};
}
