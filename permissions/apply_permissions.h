#pragma once

#include <windows.h>

// How the caller follows an Apply: called just before each step runs, with
// step stepNumber of stepCount (both from 1) and the step's name.
typedef void (*StepProgressFunction)(HWND dialog, int stepNumber, int stepCount,
                                     const char* stepName);

// Carries out one Apply for the user name in g_app: revokes the user's rights
// on the target, then grants each right ticked in the dialog, each step by one
// hidden run of cacls, with one warning box per failed step.
void ApplyPermissions(HWND dialog, const char* targetPath, StepProgressFunction showProgress);
