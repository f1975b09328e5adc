#pragma once

#include <windows.h>

// Carries out one Apply for the user name in g_app: revokes the user's rights
// on the target, then grants each right ticked in the dialog, each step by one
// hidden run of cacls, with one warning box per failed step.
void ApplyPermissions(HWND dialog, const char* targetPath);
