#pragma once

#include <stddef.h>

// The caption while an Apply runs: which step of how many, what it applies,
// then the dialog's own caption, so that the target path stays in view.
// "[2/5 読み取り] D:\share - Quorvel". The progress comes first because a
// caption too long for its bar loses its end, never its start.
// Returns false, with an empty buffer, when the caption does not fit.
bool ComposeProgressTitle(char* title, size_t size, int stepNumber, int stepCount,
                          const char* stepName, const char* dialogTitle);
