#include "app/target_path.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/text_buffer.h"

const char kTargetPathTooLongText[] =
    "指定されたパスが長すぎます。263 バイトまでのパスを指定してください。";

bool ResolveTargetPath()
{
    if (g_app.originFlag == ORIGIN_OPEN_FILE_DIALOG)
        return CopyText(g_app.targetPath, sizeof g_app.targetPath, g_app.sourceText);
    return ExtractFirstArgument(g_app.sourceText, g_app.targetPath, sizeof g_app.targetPath) ==
           FIRST_ARGUMENT_OK;
}
