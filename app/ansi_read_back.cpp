#include "app/ansi_read_back.h"

#include "app/app_state.h"
#include "app/code_page.h"

namespace {

// The longest ANSI text read back is the target path; a user name is shorter.
constexpr size_t kReadBackSize = kTargetPathSize > kUserNameSize ? kTargetPathSize : kUserNameSize;

}  // namespace

LeadByteRule AnsiLeadByteRule()
{
    UINT codePage = GetACP();
    CPINFO info;
    if (!GetCPInfo(codePage, &info))
        return MakeLeadByteRule(codePage, nullptr);
    return MakeLeadByteRule(codePage, info.LeadByte);
}

bool AnsiFormReadsBackExactly(const char* ansiForm, const wchar_t* given)
{
    wchar_t widened[kReadBackSize];
    int length =
        MultiByteToWideChar(CP_ACP, 0, ansiForm, -1, widened, static_cast<int>(kReadBackSize));
    return length > 0 && ReadsBackExactly(given, widened);
}
