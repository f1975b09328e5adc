#include "app/target_check.h"

#include <windows.h>

#include "app/app_state.h"
#include "app/code_page.h"
#include "app/command_line.h"
#include "app/target_path.h"

namespace {

// The target as the tool will read it (the ANSI bytes, widened by the
// system's rule) against the form the user gave.
bool TargetIsExactly(const wchar_t* given)
{
    wchar_t widened[kTargetPathSize];
    int length = MultiByteToWideChar(CP_ACP, 0, g_app.targetPath, -1, widened,
                                     static_cast<int>(kTargetPathSize));
    return length > 0 && ReadsBackExactly(given, widened);
}

bool TargetIsAsGiven()
{
    if (g_app.originFlag == ORIGIN_OPEN_FILE_DIALOG)
        return TargetIsExactly(g_app.openFileWideBuffer);
    // A wide argument too long for the buffer cannot equal a target that
    // fitted: each character takes at least one byte in the ANSI form.
    wchar_t given[kTargetPathSize];
    given[0] = 0;
    if (ExtractWideFirstArgument(FindWideCommandLineTail(GetCommandLineW()), given,
                                 kTargetPathSize) != FIRST_ARGUMENT_OK)
        return false;
    return TargetIsExactly(given);
}

}  // namespace

const char* ResolveCheckedTarget()
{
    if (!ResolveTargetPath())
        return kTargetPathTooLongText;
    // Checked before the wildcards: a character the code page lacks arrives
    // as ?, and the user should learn why.
    if (!TargetIsAsGiven())
        return kTargetPathNotInCodePageText;
    if (HoldsWildcard(g_app.targetPath))
        return kTargetPathWildcardText;
    return nullptr;
}
