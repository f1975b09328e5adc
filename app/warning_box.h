#pragma once

#include <windows.h>

// Every failure the program reports goes through here: one OK button, the
// warning icon and the caption "エラー", owned by the given window (or none).
void ShowWarning(HWND owner, const char* text);
