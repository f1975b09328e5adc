#include "app/warning_box.h"

#include "app/screen_text.h"

namespace {
const char kWarningCaption[] = "エラー";
}

void ShowWarning(HWND owner, const char* path, const char* text)
{
    ShowMessage(owner, path, text, kWarningCaption, MB_ICONWARNING);
}
