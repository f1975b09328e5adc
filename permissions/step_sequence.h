// The order of one Apply: which steps run for the ticked boxes, what each
// runs, and what is reported. The platform side (reading the dialog's check
// boxes, running a child process, showing a box) comes in through hooks, so
// the sequence itself is tested without Win32.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "app/code_page.h"

struct PermissionStepHooks {
    void* context;
    // True only when the box reads exactly as checked.
    bool (*isBoxTicked)(void* context, int boxId);
    // True when the target names an existing folder: nothing else is ever
    // walked as a tree, whatever the subdirectories box says.
    bool (*isExistingFolder)(void* context, const char* targetPath);
    // Runs one command line and returns its exit code; zero alone means success.
    uint32_t (*runCommand)(void* context, char* commandLine);
    // Tells the user of one failed step: the target path followed directly
    // by the step's failure text. Returns when the user has seen it.
    void (*reportFailure)(void* context, const char* targetPath, const char* failureText);
    // Called just before each step runs: step stepNumber of the stepCount
    // that this Apply runs (both from 1), and the step's name.
    void (*reportProgress)(void* context, int stepNumber, int stepCount, const char* stepName);
};

// Reads the subdirectories box and whether the target is a folder once, and
// counts the steps that will run; then runs the revoking step and each ticked
// grant in order, reading each right's box again when its step is reached.
// Every step runs whatever the earlier ones gave, and every failure is
// reported on its own. buffer holds each command line in turn, composed by
// the rule of the ANSI code page.
void RunPermissionSteps(const PermissionStepHooks& hooks, char* buffer, size_t size,
                        const char* targetPath, const char* userName, const LeadByteRule& rule);
