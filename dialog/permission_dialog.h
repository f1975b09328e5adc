#pragma once

#include <windows.h>

// The program's one window: target user, four rights, subdirectories, Apply
// and Cancel. Ends with IDCANCEL only (Cancel, Esc or the close box).
INT_PTR CALLBACK PermissionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
