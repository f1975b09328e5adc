#include "permissions/apply_permissions.h"

#include "app/app_state.h"
#include "app/target_check.h"
#include "app/warning_box.h"
#include "permissions/run_hidden.h"
#include "permissions/step_sequence.h"

namespace {

struct ApplyContext {
    HWND dialog;
    StepProgressFunction showProgress;
};

HWND DialogOf(void* context)
{
    return static_cast<ApplyContext*>(context)->dialog;
}

bool IsDialogBoxTicked(void* context, int boxId)
{
    return SendDlgItemMessageA(DialogOf(context), boxId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsTargetAnExistingFolder(void*, const char* targetPath)
{
    return IsExistingFolder(targetPath);
}

uint32_t RunStepCommand(void*, char* commandLine)
{
    // Set again before every run: a warning box from the previous step has
    // put the arrow back.
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return RunHidden(commandLine);
}

void ReportStepFailure(void* context, const char* targetPath, const char* failureText)
{
    ShowWarning(DialogOf(context), targetPath, failureText);
}

void ReportStepProgress(void* context, int stepNumber, int stepCount, const char* stepName)
{
    auto* apply = static_cast<ApplyContext*>(context);
    apply->showProgress(apply->dialog, stepNumber, stepCount, stepName);
}

}  // namespace

void ApplyPermissions(HWND dialog, const char* targetPath, StepProgressFunction showProgress)
{
    HCURSOR previousCursor = GetCursor();
    ApplyContext context = {dialog, showProgress};
    PermissionStepHooks hooks = {&context,       IsDialogBoxTicked, IsTargetAnExistingFolder,
                                 RunStepCommand, ReportStepFailure, ReportStepProgress};
    RunPermissionSteps(hooks, g_app.commandBuffer, sizeof g_app.commandBuffer, targetPath,
                       g_app.userName, g_app.ansiLeadBytes);
    SetCursor(previousCursor);
}
