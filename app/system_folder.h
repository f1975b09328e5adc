// The system's own files and functions: full paths, so that a file of the
// same name in the program's folder or the current folder is never taken for
// one, and the functions that not every system has.
#pragma once

#include <windows.h>

#include <stddef.h>

// GetSystemDirectoryA and the functions of its shape.
typedef UINT(WINAPI* GetFolderFunction)(LPSTR, UINT);

// Writes the folder that getFolder answers, then rest ("\\comdlg32.dll"),
// into path. False when getFolder is missing or fails, when the folder takes
// MAX_PATH bytes or more, or when the whole does not fit size.
bool ComposeSystemPath(char* path, size_t size, GetFolderFunction getFolder, const char* rest);

// A function of a system DLL that the program has loaded already
// ("kernel32.dll"), or nullptr where that system lacks it. Functions newer
// than NT 4.0 are looked up this way, so that the program still loads on a
// system without them.
void* LoadedSystemFunction(const char* module, const char* name);
