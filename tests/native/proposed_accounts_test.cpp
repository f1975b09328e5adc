// The names the user list proposes: the system's for each account, looked up
// from its SID, or the English one where the system gives nothing usable.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "dialog/proposed_accounts.h"

namespace {

// A SID in its usual text form, read from the layout the system uses.
std::string SidText(const unsigned char* sid)
{
    unsigned long long authority = 0;
    for (int i = 2; i < 8; ++i)
        authority = (authority << 8) | sid[i];
    std::string text = "S-" + std::to_string(sid[0]) + "-" + std::to_string(authority);
    for (size_t i = 0; i < sid[1]; ++i) {
        const unsigned char* at = sid + 8 + (4 * i);
        unsigned long value =
            at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<unsigned long>(at[3]) << 24);
        text += "-" + std::to_string(value);
    }
    return text;
}

// A computer: its account domain (none on a domain controller, where the
// computer's name names the computer's account instead), the names its
// lookups give, and a code page that holds Latin-1's letters and no others,
// as code page 1252 does.
struct FakeSystem {
    std::vector<unsigned char> accountDomain;
    std::map<std::string, std::wstring> names;  // by SID text
    std::vector<std::string> lookedUp;
};

bool FindAccountDomain(void* context, unsigned char* sid, size_t size)
{
    auto* system = static_cast<FakeSystem*>(context);
    if (system->accountDomain.empty() || system->accountDomain.size() > size)
        return false;
    std::copy(system->accountDomain.begin(), system->accountDomain.end(), sid);
    return true;
}

bool LookUpExactName(void* context, const unsigned char* sid, char* name, size_t size)
{
    auto* system = static_cast<FakeSystem*>(context);
    std::string key = SidText(sid);
    system->lookedUp.push_back(key);
    auto found = system->names.find(key);
    if (found == system->names.end() || found->second.size() + 1 > size)
        return false;
    size_t length = 0;
    for (wchar_t c : found->second) {
        if (c > 0xFF)
            return false;  // the code page has no such letter
        name[length++] = static_cast<char>(c);
    }
    name[length] = '\0';
    return true;
}

std::vector<std::string> ProposedNames(FakeSystem& system)
{
    AccountLookupHooks hooks = {&system, FindAccountDomain, LookUpExactName};
    std::vector<std::string> names;
    for (int account = 0; account < kProposedAccountCount; ++account) {
        char name[256];
        EXPECT_TRUE(ComposeProposedAccountName(hooks, account, name, sizeof name));
        names.push_back(name);
    }
    return names;
}

// S-1-5-21-1004336348-1177238915-682003330, as LookupAccountName gives it for
// the computer's name.
const std::vector<unsigned char> kDomain = {1,    4,    0,    0,    0,    0,    0,    5,
                                            21,   0,    0,    0,    0xDC, 0xF4, 0xDC, 0x3B,
                                            0x83, 0x3D, 0x2B, 0x46, 0x82, 0x8B, 0xA6, 0x28};
const char kAdministratorSid[] = "S-1-5-21-1004336348-1177238915-682003330-500";

std::map<std::string, std::wstring> Names(const std::wstring& administrators,
                                          const std::wstring& users, const std::wstring& powerUsers,
                                          const std::wstring& everyone,
                                          const std::wstring& administrator)
{
    return {{"S-1-5-32-544", administrators},
            {"S-1-5-32-545", users},
            {"S-1-5-32-547", powerUsers},
            {"S-1-1-0", everyone},
            {kAdministratorSid, administrator}};
}

const std::vector<std::string> kEnglish = {"Administrators", "Users", "Power Users", "Everyone",
                                           "Administrator"};

struct AccountCase {
    const char* name;
    std::vector<unsigned char> accountDomain;
    std::map<std::string, std::wstring> names;
    std::vector<std::string> proposed;
};

class ProposedAccountNames : public testing::TestWithParam<AccountCase> {};

TEST_P(ProposedAccountNames, AreTheSystemsWhereItGivesOneTheCodePageHolds)
{
    FakeSystem system = {GetParam().accountDomain, GetParam().names, {}};
    EXPECT_EQ(ProposedNames(system), GetParam().proposed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProposedAccountNames,
    testing::Values(
        AccountCase{
            "JapaneseOrEnglishWindows", kDomain,
            Names(L"Administrators", L"Users", L"Power Users", L"Everyone", L"Administrator"),
            kEnglish},
        AccountCase{
            "GermanWindows",
            kDomain,
            Names(L"Administratoren", L"Benutzer", L"Hauptbenutzer", L"Jeder", L"Administrator"),
            {"Administratoren", "Benutzer", "Hauptbenutzer", "Jeder", "Administrator"}},
        AccountCase{"FrenchWindows",
                    kDomain,
                    Names(L"Administrateurs", L"Utilisateurs", L"Utilisateurs avec pouvoir",
                          L"Tout le monde", L"Administrateur"),
                    {"Administrateurs", "Utilisateurs", "Utilisateurs avec pouvoir",
                     "Tout le monde", "Administrateur"}},
        AccountCase{
            "SpanishWindowsWithAccents",
            kDomain,
            Names(L"Administradores", L"Usuarios", L"Usuarios avanzados", L"Todos",
                  L"Administrador"),
            {"Administradores", "Usuarios", "Usuarios avanzados", "Todos", "Administrador"}},
        AccountCase{"RenamedAdministrator",
                    kDomain,
                    Names(L"Administrators", L"Users", L"Power Users", L"Everyone", L"Chef"),
                    {"Administrators", "Users", "Power Users", "Everyone", "Chef"}},
        AccountCase{"EveryLookupFails", kDomain, {}, kEnglish},
        AccountCase{"SomeLookupsFailOrGiveNothing",
                    kDomain,
                    {{"S-1-5-32-545", L"Benutzer"}, {"S-1-1-0", L""}},
                    {"Administrators", "Benutzer", "Power Users", "Everyone", "Administrator"}},
        // A Russian display language on a system whose code page is Western:
        // the names reach no tool whole, and a look-alike may name another.
        AccountCase{
            "NamesTheCodePageCannotHold", kDomain,
            Names(
                L"\x0410\x0434\x043C\x0438\x043D\x0438\x0441\x0442\x0440\x0430\x0442\x043E\x0440"
                L"\x044B",
                L"\x041F\x043E\x043B\x044C\x0437\x043E\x0432\x0430\x0442\x0435\x043B\x0438",
                L"Power Users", L"\x0412\x0441\x0435",
                L"\x0410\x0434\x043C\x0438\x043D\x0438\x0441\x0442\x0440\x0430\x0442\x043E\x0440"),
            kEnglish},
        AccountCase{"NamesWithLettersTheCodePageHolds",
                    kDomain,
                    Names(L"Administrat\x00F6rer", L"Anv\x00E4ndare",
                          L"Privilegierade anv\x00E4ndare", L"Alla", L"Administrat\x00F6r"),
                    {"Administrat\xF6rer", "Anv\xE4ndare", "Privilegierade anv\xE4ndare", "Alla",
                     "Administrat\xF6r"}},
        // On a domain controller the computer's name gives no account domain:
        // the English name stays, whatever another SID's lookup would give.
        AccountCase{"NoAccountDomain",
                    {},
                    Names(L"Administratoren", L"Benutzer", L"Hauptbenutzer", L"Jeder", L"Chef"),
                    {"Administratoren", "Benutzer", "Hauptbenutzer", "Jeder", "Administrator"}}),
    [](const testing::TestParamInfo<AccountCase>& info) { return info.param.name; });

TEST(ProposedAccountNames, AreLookedUpByTheirWellKnownSidsAndTheDomainsRid500InListOrder)
{
    FakeSystem system = {kDomain, {}, {}};
    ProposedNames(system);
    EXPECT_EQ(system.lookedUp,
              (std::vector<std::string>{"S-1-5-32-544", "S-1-5-32-545", "S-1-5-32-547", "S-1-1-0",
                                        kAdministratorSid}));
}

TEST(ProposedAccountNames, AnEnglishNameThatDoesNotFitIsRefusedWhole)
{
    FakeSystem system = {kDomain, {}, {}};
    AccountLookupHooks hooks = {&system, FindAccountDomain, LookUpExactName};
    char name[6];
    EXPECT_FALSE(ComposeProposedAccountName(hooks, ACCOUNT_ADMINISTRATORS, name, sizeof name));
    EXPECT_STREQ(name, "");
    EXPECT_TRUE(ComposeProposedAccountName(hooks, ACCOUNT_USERS, name, sizeof name));
    EXPECT_STREQ(name, "Users");
    EXPECT_FALSE(ComposeProposedAccountName(hooks, kProposedAccountCount, name, sizeof name));
}

TEST(AccountSid, ADomainSidTakesOneMoreRidUpToFifteen)
{
    unsigned char sid[kSidSize] = {1, 14, 0, 0, 0, 0, 0, 5};
    ASSERT_TRUE(AppendRelativeId(sid, sizeof sid, 500));
    EXPECT_EQ(sid[1], 15);
    EXPECT_EQ(SidText(sid).substr(SidText(sid).size() - 4), "-500");
    EXPECT_FALSE(AppendRelativeId(sid, sizeof sid, 501));  // 15 is the most a SID holds
    unsigned char domain[12] = {1, 1, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0};
    EXPECT_FALSE(AppendRelativeId(domain, sizeof domain, 500));  // no room
    unsigned char notASid[kSidSize] = {2, 1};
    EXPECT_FALSE(AppendRelativeId(notASid, sizeof notASid, 500));
}

}  // namespace
