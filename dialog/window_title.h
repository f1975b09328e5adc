#pragma once

#include <stddef.h>

// The dialog's caption: the target path, " - ", and the product name.
void ComposeWindowTitle(char* title, size_t size, const char* targetPath);
