// The accounts the user list proposes, by the names the system gives them.
// Windows in many languages translates the names of its built-in groups
// (Administratoren, Tout le monde), and an administrator may rename the
// built-in administrator account; cacls knows an account only by its name.
// So each is looked up from its security identifier (SID), which is the same
// on every Windows, and its English name is proposed only where the lookup
// gives nothing usable. The lookups come in through hooks, so the choice is
// tested without Win32.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The largest SID: revision, count, authority and 15 sub-authorities.
constexpr size_t kSidSize = 68;

enum ProposedAccount : int {
    ACCOUNT_ADMINISTRATORS,
    ACCOUNT_USERS,
    ACCOUNT_POWER_USERS,
    ACCOUNT_EVERYONE,
    // The computer's own built-in administrator account; the list shows it
    // last, after the current user.
    ACCOUNT_ADMINISTRATOR,
    kProposedAccountCount
};

struct AccountLookupHooks {
    void* context;
    // Writes the SID of the computer's own account domain (kSidSize bytes
    // at most). False where there is none to be had.
    bool (*findAccountDomain)(void* context, unsigned char* sid, size_t size);
    // Writes the name the system gives the account sid, in the ANSI code
    // page. False when the lookup fails, or when the code page cannot hold
    // that name exactly: its look-alike may be another account.
    bool (*lookUpExactName)(void* context, const unsigned char* sid, char* name, size_t size);
};

// Writes the name to propose for account into name: the system's where it
// has one the code page holds, else the English one. False only when not
// even the English name fits size.
bool ComposeProposedAccountName(const AccountLookupHooks& hooks, int account, char* name,
                                size_t size);

// The length of a SID as the system lays it out, from its count of
// sub-authorities; 0 for a count above the 15 a SID may hold.
size_t SidLength(const unsigned char* sid);

// Appends relativeId to the SID of a domain, making the SID of an account
// in it. False when the SID is malformed or there is no room.
bool AppendRelativeId(unsigned char* sid, size_t size, uint32_t relativeId);

// Room for each part of a name qualified by its domain: the domain, and the
// account's name within it.
constexpr size_t kAccountNamePartSize = 256;

// How the system names the account an SID stands for.
enum AccountNameLookup : int {
    ACCOUNT_NAME_FOUND,
    ACCOUNT_NAME_NOT_FOUND,  // the lookup failed, or found no account
    // Found, but the code page cannot hold the name or its domain exactly.
    ACCOUNT_NAME_NOT_IN_CODE_PAGE,
};

struct CurrentUserLookupHooks {
    void* context;
    // Writes the SID of the account the program runs as, from its own token
    // (kSidSize bytes at most). False when the token cannot be read.
    bool (*readTokenSid)(void* context, unsigned char* sid, size_t size);
    // Writes the SID of the account that the name finds, looked up as cacls
    // looks a name up. False when it finds none, or the lookup fails.
    bool (*findNamedAccount)(void* context, const char* name, unsigned char* sid, size_t size);
    // Writes the name of the account sid and the name of its domain (the
    // computer's, or the network domain's), each in the ANSI code page.
    AccountNameLookup (*lookUpAccount)(void* context, const unsigned char* sid, char* domain,
                                       size_t domainSize, char* name, size_t nameSize);
};

// Turns the current user's bare name in name (as GetUserName gives it, in
// the ANSI code page; empty where the code page cannot hold it exactly) into
// the name under which the user list proposes that user: the bare name where
// cacls, looking it up, finds the account the program runs as. A bare name
// can find another account first: the computer's own account domain on a PC
// named after its user, a local account of the same name on a domain PC, a
// built-in group of that name. There, and where the bare name finds nothing
// (an account of Microsoft Entra ID), it becomes the name the system gives
// the running account, qualified by its domain ("PC\name"). Where the
// token or the lookups fail, the bare name stays. Empty (nothing is
// proposed) where the name to propose does not fit or the code page cannot
// hold it exactly: its look-alike may be another account.
void QualifyCurrentUserName(const CurrentUserLookupHooks& hooks, char* name, size_t size);
