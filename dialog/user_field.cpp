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

// The account that a name finds, looked up as cacls looks a name up, and
// what kind of account it is.
bool FindAccount(const wchar_t* name, unsigned char* sid, size_t size, SID_NAME_USE* use)
{
    wchar_t domain[kUserNameSize];
    DWORD domainSize = kUserNameSize;
    DWORD sidSize = static_cast<DWORD>(size);
    return LookupAccountNameW(nullptr, name, sid, &sidSize, domain, &domainSize, use) != FALSE;
}

// The computer's own accounts live in a domain named after the computer.
// Where its name gives anything but a domain (the computer's account, on a
// domain controller), there is no built-in administrator account to name.
bool FindAccountDomain(void*, unsigned char* sid, size_t size)
{
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
    SID_NAME_USE use;
    return GetComputerNameW(computer, &computerLength) && FindAccount(computer, sid, size, &use) &&
           use == SidTypeDomain;
}

// Asked in UTF-16, so that a name the code page cannot hold is seen as such.
// domain may be nullptr, where only the account's own name is wanted.
AccountNameLookup LookUpAccount(void*, const unsigned char* sid, char* domain, size_t domainSize,
                                char* name, size_t nameSize)
{
    wchar_t wideName[kUserNameSize];
    DWORD wideNameSize = kUserNameSize;
    wchar_t wideDomain[kUserNameSize];
    DWORD wideDomainSize = kUserNameSize;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, const_cast<unsigned char*>(sid), wideName, &wideNameSize,
                           wideDomain, &wideDomainSize, &use))
        return ACCOUNT_NAME_NOT_FOUND;
    if (!NarrowExactName(wideName, name, nameSize) ||
        (domain != nullptr && !NarrowExactName(wideDomain, domain, domainSize)))
        return ACCOUNT_NAME_NOT_IN_CODE_PAGE;
    return ACCOUNT_NAME_FOUND;
}

bool LookUpExactName(void* context, const unsigned char* sid, char* name, size_t size)
{
    return LookUpAccount(context, sid, nullptr, 0, name, size) == ACCOUNT_NAME_FOUND;
}

const AccountLookupHooks kAccountLookups = {nullptr, FindAccountDomain, LookUpExactName};

bool ReadTokenSid(void*, unsigned char* sid, size_t size)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    // The record and the SID it points to, which the system puts right after it.
    union {
        TOKEN_USER user;
        unsigned char bytes[sizeof(TOKEN_USER) + kSidSize];
    } info;
    DWORD returned = 0;
    BOOL read = GetTokenInformation(token, TokenUser, &info, sizeof info, &returned);
    CloseHandle(token);
    if (!read)
        return false;
    const auto* from = static_cast<const unsigned char*>(info.user.User.Sid);
    size_t length = SidLength(from);
    if (length == 0 || length > size)
        return false;
    memcpy(sid, from, length);
    return true;
}

// The name reads back exactly, so its wide form is the one the system gave.
bool FindNamedAccount(void*, const char* name, unsigned char* sid, size_t size)
{
    wchar_t wideName[kUserNameSize];
    SID_NAME_USE use;
    return MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, kUserNameSize) > 0 &&
           FindAccount(wideName, sid, size, &use);
}

const CurrentUserLookupHooks kCurrentUserLookups = {nullptr, ReadTokenSid, FindNamedAccount,
                                                    LookUpAccount};

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
    QualifyCurrentUserName(kCurrentUserLookups, g_app.userName, kUserNameCapacity);
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
