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

// Appends relativeId to the SID of a domain, making the SID of an account
// in it. False when the SID is malformed or there is no room.
bool AppendRelativeId(unsigned char* sid, size_t size, uint32_t relativeId);
