// The steps of one Apply and the exact text of each: the command line handed
// to the platform's cacls tool and the message shown when the step fails.
// Pure logic, kept free of the Win32 headers so it is tested natively.
#pragma once

#include <stddef.h>

#include "app/code_page.h"

struct PermissionStep {
    int conditionBoxId;       // the check box that must be ticked; 0 = always runs
    const char* switches;     // between the quoted path and the quoted name
    const char* grantSuffix;  // written after the name inside its quotes; "" to revoke
    const char* name;         // what the step applies, in a word, for the progress caption
    const char* failureText;  // shown after the target path; begins with a blank
};

// In the order they run: revoke, then read, write, change and full control.
// Full control, though shown first in the dialog, is granted last.
constexpr int kPermissionStepCount = 5;
extern const PermissionStep kPermissionSteps[kPermissionStepCount];

// Composes the step's command line, with " /T" when subdirectories are
// included. cacls splits its command line by the C runtime's rules, where
// backslashes directly before a double quote escape it; each backslash of a
// run that ends at a closing quote is therefore doubled, so that a path such
// as D:\ reaches the tool intact. A 0x5C byte that is the trail byte of a
// double-byte character by the rule of the ANSI code page (表 is 0x95 0x5C in
// 932) is not a backslash and stays single. Path and name must hold no
// double quote and must not end in half a double-byte character (see
// CheckApplyInput).
// Returns false, with an empty buffer, when the command does not fit.
bool ComposeStepCommand(char* buffer, size_t size, const PermissionStep& step,
                        const char* targetPath, const char* userName, bool includeSubdirectories,
                        const LeadByteRule& rule);
