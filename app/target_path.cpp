#include "app/target_path.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/text_buffer.h"

const char kTargetPathTooLongText[] =
    "指定されたパスが長すぎます。263 バイトまでのパスを指定してください。";
const char kTargetPathNotInCodePageText[] =
    "指定されたパスには、このシステムの文字コードで表せない文字が含まれています。"
    "名前を変えてから指定してください。";
const char kTargetPathWildcardText[] =
    "指定されたパスにワイルドカード文字 (* または ?) が含まれています。"
    "ファイルまたはフォルダーを 1 つだけ指定してください。";

bool ResolveTargetPath()
{
    if (g_app.originFlag == ORIGIN_OPEN_FILE_DIALOG)
        return CopyText(g_app.targetPath, sizeof g_app.targetPath, g_app.sourceText);
    return ExtractFirstArgument(g_app.sourceText, g_app.targetPath, sizeof g_app.targetPath) ==
           FIRST_ARGUMENT_OK;
}

bool HoldsWildcard(const char* path)
{
    // The path prefix that turns off the platform's parsing of the rest.
    static const char kVerbatimPrefix[] = "\\\\?\\";
    const char* p = path;
    if (p[0] == kVerbatimPrefix[0] && p[1] == kVerbatimPrefix[1] && p[2] == kVerbatimPrefix[2] &&
        p[3] == kVerbatimPrefix[3])
        p += 4;
    // No trail byte of a double-byte character is below 0x40, so a byte that
    // equals * or ? is always that character itself.
    for (; *p != '\0'; ++p)
        if (*p == '*' || *p == '?')
            return true;
    return false;
}
