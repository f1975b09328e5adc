#include "dialog/proposed_accounts.h"

#include <string.h>

#include "app/text_buffer.h"

namespace {

// A SID as the system lays it out: revision, count of sub-authorities, the
// 48-bit identifier authority (big-endian), then each sub-authority as a
// 32-bit value in the machine's (little-endian) order.
constexpr size_t kSidHeaderSize = 8;
constexpr unsigned char kSidRevision = 1;
constexpr unsigned char kMaxSubAuthorities = 15;
constexpr uint32_t kBuiltinAdministratorRid = 500;

// S-1-5-32-544, S-1-5-32-545, S-1-5-32-547 and S-1-1-0: the same on every
// Windows. The administrator account's SID is its computer's account domain
// and RID 500.
const unsigned char kWellKnownSids[ACCOUNT_ADMINISTRATOR][16] = {
    {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0},
    {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 0x02, 0, 0},
    {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x23, 0x02, 0, 0},
    {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
};

// In the order of ProposedAccount, one after another.
const char kEnglishNames[] = "Administrators\0Users\0Power Users\0Everyone\0Administrator";

const char* EnglishName(int account)
{
    const char* name = kEnglishNames;
    for (int i = 0; i < account; ++i)
        name += strlen(name) + 1;
    return name;
}

bool LookUpSystemName(const AccountLookupHooks& hooks, int account, char* name, size_t size)
{
    if (account != ACCOUNT_ADMINISTRATOR)
        return hooks.lookUpExactName(hooks.context, kWellKnownSids[account], name, size);
    unsigned char sid[kSidSize];
    return hooks.findAccountDomain(hooks.context, sid, sizeof sid) &&
           AppendRelativeId(sid, sizeof sid, kBuiltinAdministratorRid) &&
           hooks.lookUpExactName(hooks.context, sid, name, size);
}

bool IsSameSid(const unsigned char* one, const unsigned char* other)
{
    // The count of sub-authorities is compared first, as byte 1.
    size_t length = SidLength(one);
    if (length == 0)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (one[i] != other[i])
            return false;
    }
    return true;
}

// "domain\name", or the name alone for an account of no domain (Everyone).
bool ComposeQualifiedName(char* name, size_t size, const char* domain, const char* account)
{
    size_t used = 0;
    name[0] = '\0';
    return (domain[0] == '\0' ||
            (AppendText(name, size, &used, domain) && AppendText(name, size, &used, "\\"))) &&
           AppendText(name, size, &used, account);
}

}  // namespace

size_t SidLength(const unsigned char* sid)
{
    if (sid[1] > kMaxSubAuthorities)
        return 0;
    return kSidHeaderSize + 4 * static_cast<size_t>(sid[1]);
}

bool AppendRelativeId(unsigned char* sid, size_t size, uint32_t relativeId)
{
    if (size < kSidHeaderSize || sid[0] != kSidRevision || sid[1] >= kMaxSubAuthorities)
        return false;
    size_t end = kSidHeaderSize + 4 * static_cast<size_t>(sid[1]);
    if (end + 4 > size)
        return false;
    for (int i = 0; i < 4; ++i)
        sid[end + i] = static_cast<unsigned char>(relativeId >> (8 * i));
    ++sid[1];
    return true;
}

bool ComposeProposedAccountName(const AccountLookupHooks& hooks, int account, char* name,
                                size_t size)
{
    if (account < 0 || account >= kProposedAccountCount)
        return false;
    if (LookUpSystemName(hooks, account, name, size) && name[0] != '\0')
        return true;
    return CopyText(name, size, EnglishName(account));
}

void QualifyCurrentUserName(const CurrentUserLookupHooks& hooks, char* name, size_t size)
{
    unsigned char running[kSidSize];
    unsigned char found[kSidSize];
    if (name[0] == '\0' || !hooks.readTokenSid(hooks.context, running, sizeof running) ||
        (hooks.findNamedAccount(hooks.context, name, found, sizeof found) &&
         IsSameSid(found, running)))
        return;
    char domain[kAccountNamePartSize];
    char account[kAccountNamePartSize];
    AccountNameLookup lookup =
        hooks.lookUpAccount(hooks.context, running, domain, sizeof domain, account, sizeof account);
    if (lookup == ACCOUNT_NAME_NOT_FOUND)
        return;
    if (lookup != ACCOUNT_NAME_FOUND || !ComposeQualifiedName(name, size, domain, account))
        name[0] = '\0';
}
