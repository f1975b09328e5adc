#include "app/warning_box.h"

namespace {
const char kWarningCaption[] = "エラー";
}

void ShowWarning(HWND owner, const char* text)
{
    MessageBoxA(owner, text, kWarningCaption, MB_ICONWARNING | MB_OK);
}
