// The dialog while one of its commands runs: disabled, with the wait cursor
// and the progress of an Apply in its caption, ignoring every command.
// Messages are still dispatched meanwhile (the runner pumps them while a
// child runs, and every message box runs its own loop), so anything that
// reaches the dialog procedure must leave the running command alone.
#pragma once

#include <windows.h>

bool IsDialogBusy();
// Remembers the control that has the focus and disables the dialog.
void EnterBusyState(HWND dialog);
// Shows step stepNumber of stepCount in the caption.
void ShowStepProgress(HWND dialog, int stepNumber, int stepCount, const char* stepName);
// Puts the dialog's caption back, enables it and gives the focus back.
void LeaveBusyState(HWND dialog);
