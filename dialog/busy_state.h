// The dialog while one of its commands runs: disabled, with the wait cursor
// and, once an Apply has run for a while, its progress in the caption,
// ignoring every command. Messages are still dispatched meanwhile (the
// runner pumps them while a child runs, and every message box runs its own
// loop), so anything that reaches the dialog procedure must leave the running
// command alone.
#pragma once

#include <windows.h>

bool IsDialogBusy();
// Remembers the control that has the focus and disables the dialog.
void EnterBusyState(HWND dialog);
// The steps of an Apply are about to run: from now until the busy state is
// left, the session may not end, and progress shows after half a second.
void EnterApplyRun(HWND dialog);
// Step stepNumber of stepCount starts; shown in the caption once the Apply
// has run long enough.
void ShowStepProgress(HWND dialog, int stepNumber, int stepCount, const char* stepName);
// WM_TIMER: the Apply has run long enough for its progress to be shown.
void OnProgressDelayElapsed(HWND dialog);
// WM_QUERYENDSESSION: the dialog procedure's result for it.
BOOL AnswerQueryEndSession(HWND dialog);
// Puts the dialog's caption back if it was changed, enables the dialog and
// gives the focus back.
void LeaveBusyState(HWND dialog);
