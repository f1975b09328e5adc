#pragma once

#include <windows.h>

// Every failure the program reports goes through here: one OK button, the
// warning icon and the caption "エラー", owned by the given window (or none).
// The text is path (nullptr for none) followed directly by the program's own
// text.
void ShowWarning(HWND owner, const char* path, const char* text);
