#include "app/target_check.h"

#include <windows.h>

#include "app/ansi_read_back.h"
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/target_path.h"

namespace {

// The target as the tool will read it (the ANSI bytes, widened by the
// system's rule) against the form the user gave.
bool TargetIsAsGiven()
{
    if (g_app.originFlag == ORIGIN_OPEN_FILE_DIALOG)
        return AnsiFormReadsBackExactly(g_app.targetPath, g_app.openFileWideBuffer);
    // A wide argument too long for the buffer cannot equal a target that
    // fitted: each character takes at least one byte in the ANSI form.
    wchar_t given[kTargetPathSize];
    given[0] = 0;
    if (ExtractWideFirstArgument(FindWideCommandLineTail(GetCommandLineW()), given,
                                 kTargetPathSize) != FIRST_ARGUMENT_OK)
        return false;
    return AnsiFormReadsBackExactly(g_app.targetPath, given);
}

}  // namespace

bool IsExistingFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsExistingFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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
