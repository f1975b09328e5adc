#include "dialog/busy_state.h"

#include "app/app_state.h"
#include "dialog/progress_title.h"

namespace {

struct BusyState {
    bool busy;
    HWND focus;  // the dialog's control that had the focus, or nullptr
};

BusyState g_busy;

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

void ShowStepProgress(HWND dialog, int stepNumber, int stepCount, const char* stepName)
{
    // A message box enables its owner when it closes: after the failure box
    // of the step before, the dialog must be disabled again. Between the box
    // and this call the thread reads no message, so no input slips through.
    EnableWindow(dialog, FALSE);
    if (ComposeProgressTitle(g_app.progressTitle, sizeof g_app.progressTitle, stepNumber, stepCount,
                             stepName, g_app.title))
        SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.progressTitle));
}

void LeaveBusyState(HWND dialog)
{
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.title));
    EnableWindow(dialog, TRUE);
    // Only when the dialog is active: setting the focus would otherwise
    // activate it over whatever the user turned to meanwhile.
    if (g_busy.focus != nullptr && GetActiveWindow() == dialog)
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(g_busy.focus), TRUE);
    g_busy.busy = false;
    g_busy.focus = nullptr;
}
