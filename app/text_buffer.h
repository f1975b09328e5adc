// Bounded composition of byte strings into the program's fixed buffers.
#pragma once

#include <stddef.h>

// Appends text at *length, keeping the buffer terminated. Returns false and
// leaves buffer and *length as they were when the text does not fit whole,
// so no caller ever acts on a string that was silently cut.
bool AppendText(char* buffer, size_t size, size_t* length, const char* text);

// Bounded copy; false, with an empty buffer, when the text does not fit whole.
bool CopyText(char* buffer, size_t size, const char* text);
