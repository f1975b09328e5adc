#include "permissions/step_sequence.h"

#include "permissions/step_commands.h"
#include "resources/resource.h"

void RunPermissionSteps(const PermissionStepHooks& hooks, char* buffer, size_t size,
                        const char* targetPath, const char* userName)
{
    bool includeSubdirectories = hooks.isBoxTicked(hooks.context, IDC_SUBDIRS);
    for (const PermissionStep& step : kPermissionSteps) {
        if (step.conditionBoxId != 0 && !hooks.isBoxTicked(hooks.context, step.conditionBoxId))
            continue;
        // A command that does not fit is never run cut; it counts as failed.
        bool succeeded =
            ComposeStepCommand(buffer, size, step, targetPath, userName, includeSubdirectories) &&
            hooks.runCommand(hooks.context, buffer) == 0;
        if (!succeeded) {
            ComposeStepFailure(buffer, size, step, targetPath);
            hooks.reportFailure(hooks.context, buffer);
        }
    }
}
