#include "dialog/user_field.h"

#include <string.h>

#include "app/ansi_read_back.h"
#include "app/app_state.h"
#include "app/text_buffer.h"
#include "dialog/apply_input.h"
#include "dialog/proposed_accounts.h"
#include "resources/resource.h"

namespace {

// Writes the ANSI form of a name the system gave in UTF-16 into name; false
// when it does not fit or the code page cannot hold it exactly, as its
// look-alike may be another account.
bool NarrowExactName(const wchar_t* wideName, char* name, size_t size)
{
    int length = WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, static_cast<int>(size), nullptr,
                                     nullptr);
    if (length > 0 && AnsiFormReadsBackExactly(name, wideName))
        return true;
    name[0] = '\0';
    return false;
}

// The computer's own accounts live in a domain named after the computer.
// Where its name gives anything but a domain (the computer's account, on a
// domain controller), there is no built-in administrator account to name.
bool FindAccountDomain(void*, unsigned char* sid, size_t size)
{
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(computer, &computerLength))
        return false;
    wchar_t domain[kUserNameSize];
    DWORD domainSize = kUserNameSize;
    DWORD sidSize = static_cast<DWORD>(size);
    SID_NAME_USE use;
    return LookupAccountNameW(nullptr, computer, sid, &sidSize, domain, &domainSize, &use) &&
           use == SidTypeDomain;
}

// Asked in UTF-16, so that a name the code page cannot hold is seen as such.
bool LookUpExactName(void*, const unsigned char* sid, char* name, size_t size)
{
    wchar_t wideName[kUserNameSize];
    DWORD nameSize = kUserNameSize;
    wchar_t domain[kUserNameSize];
    DWORD domainSize = kUserNameSize;
    SID_NAME_USE use;
    return LookupAccountSidW(nullptr, const_cast<unsigned char*>(sid), wideName, &nameSize, domain,
                             &domainSize, &use) &&
           NarrowExactName(wideName, name, size);
}

const AccountLookupHooks kAccountLookups = {nullptr, FindAccountDomain, LookUpExactName};

// The list's entry that holds the current user: after the four groups.
constexpr int kCurrentUserEntry = ACCOUNT_ADMINISTRATOR;

}  // namespace

void ReadCurrentUserName()
{
    // The wide name, converted here: GetUserNameA converts it too, but Wine's
    // cuts a double-byte name short, and either way the conversion must be
    // checked for what it lost.
    wchar_t wideName[kUserNameSize];
    wideName[0] = 0;
    DWORD size = kUserNameCapacity;
    GetUserNameW(wideName, &size);
    NarrowExactName(wideName, g_app.userName, kUserNameCapacity);
}

void FillUserList(HWND dialog)
{
    char name[kUserNameSize];
    for (int entry = 0; entry <= kProposedAccountCount; ++entry) {
        const char* text = g_app.userName;
        if (entry != kCurrentUserEntry) {
            int account = entry < kCurrentUserEntry ? entry : entry - 1;
            if (!ComposeProposedAccountName(kAccountLookups, account, name, kUserNameCapacity))
                continue;
            text = name;
        }
        SendDlgItemMessageA(dialog, IDC_USER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
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
