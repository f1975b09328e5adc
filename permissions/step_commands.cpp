#include "permissions/step_commands.h"

#include "app/code_page.h"
#include "app/text_buffer.h"
#include "resources/resource.h"

const PermissionStep kPermissionSteps[kPermissionStepCount] = {
    {0, " /E /R ", "", "初期化", " の指定ユーザーに対するアクセス権の初期化に失敗しました。"},
    {IDC_READ, " /E /G ", ":R", "読み取り",
     " の指定ユーザーに対する読み取りアクセス権の設定に失敗しました。"},
    {IDC_WRITE, " /E /G ", ":W", "書き込み",
     " の指定ユーザーに対する書き込みアクセス権の設定に失敗しました。"},
    {IDC_CHANGE, " /E /G ", ":C", "変更",
     " の指定ユーザーに対する変更アクセス権の設定に失敗しました。"},
    {IDC_FULL, " /E /G ", ":F", "フルコントロール",
     " の指定ユーザーに対するフルコントロールアクセス権の設定に失敗しました。"},
};

namespace {

// Counts the backslashes that end the text, reading it character by
// character so that the trail byte of a double-byte character never counts.
size_t CountTrailingBackslashes(const char* text, const LeadByteRule& rule)
{
    size_t run = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        if (IsLeadByte(rule, *p) && p[1] != 0) {
            run = 0;
            p += 2;
        } else {
            run = (*p == '\\') ? run + 1 : 0;
            ++p;
        }
    }
    return run;
}

// Writes "text suffix" in double quotes so that the tool reads back exactly
// text and suffix as one argument.
bool AppendQuotedArgument(char* buffer, size_t size, size_t* length, const char* text,
                          const char* suffix, const LeadByteRule& rule)
{
    bool fits = AppendText(buffer, size, length, "\"") && AppendText(buffer, size, length, text) &&
                AppendText(buffer, size, length, suffix);
    if (fits && suffix[0] == '\0') {
        for (size_t run = CountTrailingBackslashes(text, rule); run > 0 && fits; --run)
            fits = AppendText(buffer, size, length, "\\");
    }
    return fits && AppendText(buffer, size, length, "\"");
}

}  // namespace

bool ComposeStepCommand(char* buffer, size_t size, const PermissionStep& step,
                        const char* targetPath, const char* userName, bool includeSubdirectories,
                        const LeadByteRule& rule)
{
    size_t length = 0;
    if (size > 0)
        buffer[0] = '\0';
    bool fits = AppendText(buffer, size, &length, "cacls ") &&
                AppendQuotedArgument(buffer, size, &length, targetPath, "", rule) &&
                AppendText(buffer, size, &length, step.switches) &&
                AppendQuotedArgument(buffer, size, &length, userName, step.grantSuffix, rule) &&
                (!includeSubdirectories || AppendText(buffer, size, &length, " /T"));
    if (!fits && size > 0)
        buffer[0] = '\0';
    return fits;
}
