// The name under which the user list proposes the current user: one that
// cacls, looking it up, finds the account the program runs as.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dialog/proposed_accounts.h"

namespace {

// A SID in the layout the system uses, from its usual text form
// ("S-1-5-21-…"): revision, count, 48-bit authority, then each
// sub-authority in little-endian order.
std::vector<unsigned char> SidBytes(const std::string& text)
{
    std::vector<unsigned long long> parts;
    size_t at = 2;  // after "S-"
    while (at <= text.size()) {
        size_t end = text.find('-', at);
        if (end == std::string::npos)
            end = text.size();
        parts.push_back(std::stoull(text.substr(at, end - at)));
        at = end + 1;
    }
    std::vector<unsigned char> sid = {static_cast<unsigned char>(parts[0]),
                                      static_cast<unsigned char>(parts.size() - 2)};
    for (int shift = 40; shift >= 0; shift -= 8)
        sid.push_back(static_cast<unsigned char>(parts[1] >> shift));
    for (size_t i = 2; i < parts.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8)
            sid.push_back(static_cast<unsigned char>(parts[i] >> shift));
    }
    return sid;
}

// A PC's answers: the user's bare name, the SID in the program's token, what
// each name finds and what the system calls each SID, under a code page
// that holds Latin-1's letters and no others, as code page 1252 does. An
// empty token SID stands for a token that cannot be read.
struct FakeSystem {
    std::wstring userName;
    std::string tokenSid;
    std::map<std::wstring, std::string> sidOfName;
    std::map<std::string, std::pair<std::wstring, std::wstring>> accountOfSid;  // domain, name
    std::vector<std::string> calls = {};
};

bool Narrow(const std::wstring& wide, char* narrow, size_t size)
{
    if (wide.size() + 1 > size)
        return false;
    size_t length = 0;
    for (wchar_t c : wide) {
        if (c > 0xFF)
            return false;
        narrow[length++] = static_cast<char>(c);
    }
    narrow[length] = '\0';
    return true;
}

bool CopySid(const std::string& text, unsigned char* sid, size_t size)
{
    std::vector<unsigned char> bytes = SidBytes(text);
    if (bytes.size() > size)
        return false;
    std::copy(bytes.begin(), bytes.end(), sid);
    return true;
}

bool ReadTokenSid(void* context, unsigned char* sid, size_t size)
{
    auto* system = static_cast<FakeSystem*>(context);
    system->calls.push_back("token");
    return !system->tokenSid.empty() && CopySid(system->tokenSid, sid, size);
}

bool FindNamedAccount(void* context, const char* name, unsigned char* sid, size_t size)
{
    auto* system = static_cast<FakeSystem*>(context);
    system->calls.push_back(std::string("find ") + name);
    std::wstring wide;
    for (const char* c = name; *c != '\0'; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    auto found = system->sidOfName.find(wide);
    return found != system->sidOfName.end() && CopySid(found->second, sid, size);
}

AccountNameLookup LookUpAccount(void* context, const unsigned char* sid, char* domain,
                                size_t domainSize, char* name, size_t nameSize)
{
    auto* system = static_cast<FakeSystem*>(context);
    for (const auto& [text, account] : system->accountOfSid) {
        std::vector<unsigned char> bytes = SidBytes(text);
        if (!std::equal(bytes.begin(), bytes.end(), sid))
            continue;
        system->calls.push_back("account " + text);
        return Narrow(account.first, domain, domainSize) && Narrow(account.second, name, nameSize)
                   ? ACCOUNT_NAME_FOUND
                   : ACCOUNT_NAME_NOT_IN_CODE_PAGE;
    }
    system->calls.push_back("account not found");
    return ACCOUNT_NAME_NOT_FOUND;
}

std::string ProposedName(FakeSystem& system, size_t size = 255)
{
    CurrentUserLookupHooks hooks = {&system, ReadTokenSid, FindNamedAccount, LookUpAccount};
    // The bare name as the program reads it: empty where the code page cannot
    // hold it exactly.
    char name[256] = "";
    Narrow(system.userName, name, size);
    QualifyCurrentUserName(hooks, name, size);
    return name;
}

// The PC's own account domain, a network domain and the accounts in them.
const std::string kPc = "S-1-5-21-1004336348-1177238915-682003330";
const std::string kTaro = kPc + "-1001";
const std::string kCorp = "S-1-5-21-3623811015-3361044348-30300820";
const std::string kCorpTaro = kCorp + "-1105";
const std::string kEntraTaro = "S-1-12-1-3281706374-1255389470-2370958243-3553342766";

struct CurrentUserCase {
    const char* name;
    FakeSystem system;
    std::string proposed;
};

class CurrentUserName : public testing::TestWithParam<CurrentUserCase> {};

TEST_P(CurrentUserName, FindsTheAccountTheProgramRunsAs)
{
    FakeSystem system = GetParam().system;
    EXPECT_EQ(ProposedName(system), GetParam().proposed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CurrentUserName,
    testing::Values(
        // The common case: the list reads as it always has.
        CurrentUserCase{"BareNameFindsTheRunningAccount",
                        {L"taro", kTaro, {{L"taro", kTaro}}, {{kTaro, {L"PC", L"taro"}}}},
                        "taro"},
        // User taro on the computer TARO: the bare name is the computer's
        // own account domain.
        CurrentUserCase{"PcNamedAfterItsUser",
                        {L"taro", kTaro, {{L"taro", kPc}}, {{kTaro, {L"TARO", L"taro"}}}},
                        "TARO\\taro"},
        // The PC kept a local account of the domain user's name.
        CurrentUserCase{"DomainUserWithALocalAccountOfTheSameName",
                        {L"taro", kCorpTaro, {{L"taro", kTaro}}, {{kCorpTaro, {L"CORP", L"taro"}}}},
                        "CORP\\taro"},
        // A user named as a built-in group finds the group first.
        CurrentUserCase{
            "UserNamedAsABuiltInGroup",
            {L"Users", kTaro, {{L"Users", "S-1-5-32-545"}}, {{kTaro, {L"PC", L"Users"}}}},
            "PC\\Users"},
        // An account of Microsoft Entra ID: the bare name finds nothing.
        CurrentUserCase{
            "BareNameFindsNothing",
            {L"TaroYamada", kEntraTaro, {}, {{kEntraTaro, {L"AzureAD", L"TaroYamada"}}}},
            "AzureAD\\TaroYamada"},
        // Where the system cannot tell, the bare name as it always was.
        CurrentUserCase{"TokenUnreadable", {L"taro", "", {{L"taro", kPc}}, {}}, "taro"},
        CurrentUserCase{"NeitherLookupAnswers", {L"taro", kTaro, {}, {}}, "taro"},
        // A name the code page cannot hold is not proposed, bare or qualified.
        CurrentUserCase{
            "BareNameNotInTheCodePage", {L"\u0422\u0430\u0440\u043E", kTaro, {}, {}}, ""},
        CurrentUserCase{"DomainNotInTheCodePage",
                        {L"taro", kTaro, {{L"taro", kPc}}, {{kTaro, {L"\u041F\u041A", L"taro"}}}},
                        ""},
        CurrentUserCase{
            "QualifiedLettersTheCodePageHolds",
            {L"jos\u00E9", kTaro, {{L"jos\u00E9", kPc}}, {{kTaro, {L"CAF\u00C9", L"jos\u00E9"}}}},
            "CAF\xC9\\jos\xE9"},
        // No domain: the name alone, as the system gives it.
        CurrentUserCase{"AccountOfNoDomain",
                        {L"guest", "S-1-1-0", {}, {{"S-1-1-0", {L"", L"Everyone"}}}},
                        "Everyone"}),
    [](const testing::TestParamInfo<CurrentUserCase>& info) { return info.param.name; });

// A qualified name too long for the user-name buffer is never proposed cut,
// nor replaced by the bare name, which finds another account.
TEST(CurrentUserNameLength, AQualifiedNameThatDoesNotFitIsNotProposed)
{
    FakeSystem system = {
        L"taro", kCorpTaro, {{L"taro", kTaro}}, {{kCorpTaro, {std::wstring(250, L'D'), L"taro"}}}};
    EXPECT_EQ(ProposedName(system), "");
    EXPECT_EQ(ProposedName(system, 256), std::string(250, 'D') + "\\taro");
}

// The bare name that finds the running account needs no further lookup.
TEST(CurrentUserNameLookups, StopAtTheBareNameThatFindsTheRunningAccount)
{
    FakeSystem system = {L"taro", kTaro, {{L"taro", kTaro}}, {{kTaro, {L"PC", L"taro"}}}};
    ProposedName(system);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"token", "find taro"}));
}

}  // namespace
