#include "permissions/step_sequence.h"

#include "permissions/step_commands.h"
#include "resources/resource.h"

namespace {

bool StepRuns(const PermissionStepHooks& hooks, const PermissionStep& step)
{
    return step.conditionBoxId == 0 || hooks.isBoxTicked(hooks.context, step.conditionBoxId);
}

}  // namespace

void RunPermissionSteps(const PermissionStepHooks& hooks, char* buffer, size_t size,
                        const char* targetPath, const char* userName, const LeadByteRule& rule)
{
    // Asked at every Apply: the target may have changed since the dialog opened.
    bool includeSubdirectories = hooks.isBoxTicked(hooks.context, IDC_SUBDIRS) &&
                                 hooks.isExistingFolder(hooks.context, targetPath);
    // Counted ahead only for the progress shown; whether a step runs is still
    // decided by its box when it is reached.
    int stepCount = 0;
    for (const PermissionStep& step : kPermissionSteps)
        stepCount += StepRuns(hooks, step) ? 1 : 0;

    int stepNumber = 0;
    for (const PermissionStep& step : kPermissionSteps) {
        if (!StepRuns(hooks, step))
            continue;
        ++stepNumber;
        // A box ticked since the count (by a message, never by the user, who
        // cannot reach a busy dialog) must not show a step beyond the last.
        if (stepNumber > stepCount)
            stepCount = stepNumber;
        hooks.reportProgress(hooks.context, stepNumber, stepCount, step.name);
        // A command that does not fit is never run cut; it counts as failed.
        bool succeeded = ComposeStepCommand(buffer, size, step, targetPath, userName,
                                            includeSubdirectories, rule) &&
                         hooks.runCommand(hooks.context, buffer) == 0;
        if (!succeeded)
            hooks.reportFailure(hooks.context, targetPath, step.failureText);
    }
}
