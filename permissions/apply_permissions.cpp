#include "permissions/apply_permissions.h"

#include "app/app_state.h"
#include "app/warning_box.h"
#include "permissions/run_hidden.h"
#include "permissions/step_sequence.h"

namespace {

bool IsDialogBoxTicked(void* dialog, int boxId)
{
    return SendDlgItemMessageA(static_cast<HWND>(dialog), boxId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

uint32_t RunStepCommand(void*, char* commandLine)
{
    // Set again before every run: a warning box from the previous step has
    // put the arrow back.
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return RunHidden(commandLine);
}

void ReportStepFailure(void* dialog, const char* message)
{
    ShowWarning(static_cast<HWND>(dialog), message);
}

}  // namespace

void ApplyPermissions(HWND dialog, const char* targetPath)
{
    HCURSOR previousCursor = GetCursor();
    PermissionStepHooks hooks = {dialog, IsDialogBoxTicked, RunStepCommand, ReportStepFailure};
    RunPermissionSteps(hooks, g_app.commandBuffer, sizeof g_app.commandBuffer, targetPath,
                       g_app.userName);
    SetCursor(previousCursor);
}
