#include "dialog/user_field.h"

#include <string.h>

#include "app/ansi_read_back.h"
#include "app/app_state.h"
#include "app/text_buffer.h"
#include "dialog/apply_input.h"
#include "resources/resource.h"

void ReadCurrentUserName()
{
    // The wide name, converted here: GetUserNameA converts it too, but Wine's
    // cuts a double-byte name short, and either way the conversion must be
    // checked for what it lost.
    wchar_t wideName[kUserNameSize];
    wideName[0] = 0;
    DWORD size = kUserNameCapacity;
    GetUserNameW(wideName, &size);
    int length = WideCharToMultiByte(CP_ACP, 0, wideName, -1, g_app.userName,
                                     static_cast<int>(kUserNameCapacity), nullptr, nullptr);
    if (length == 0 || !AnsiFormReadsBackExactly(g_app.userName, wideName))
        g_app.userName[0] = '\0';
}

size_t ReadUserField(HWND dialog, bool* exact)
{
    // Read into a larger buffer first, so that a name too long for the
    // user-name buffer is seen as such, never cut.
    char typedName[2 * kUserNameSize];
    typedName[0] = '\0';
    SendDlgItemMessageA(dialog, IDC_USER, WM_GETTEXT, sizeof typedName,
                        reinterpret_cast<LPARAM>(typedName));
    size_t typedLength = strlen(typedName);
    if (typedLength > kMaxUserNameLength || !CopyText(g_app.userName, kUserNameCapacity, typedName))
        g_app.userName[0] = '\0';
    // A wide text longer than this buffer takes more than 254 bytes in the
    // ANSI form as well, and is refused for its length before this matters.
    wchar_t wideName[kUserNameSize];
    wideName[0] = 0;
    SendDlgItemMessageW(dialog, IDC_USER, WM_GETTEXT, kUserNameSize,
                        reinterpret_cast<LPARAM>(wideName));
    *exact = AnsiFormReadsBackExactly(g_app.userName, wideName);
    return typedLength;
}
