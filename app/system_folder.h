// Full paths of the system's own files, so that a file of the same name in
// the program's folder or the current folder is never taken for one.
#pragma once

#include <windows.h>

#include <stddef.h>

// GetSystemDirectoryA and the functions of its shape.
typedef UINT(WINAPI* GetFolderFunction)(LPSTR, UINT);

// Writes the folder that getFolder answers, then rest ("\\comdlg32.dll"),
// into path. False when getFolder is missing or fails, when the folder takes
// MAX_PATH bytes or more, or when the whole does not fit size.
bool ComposeSystemPath(char* path, size_t size, GetFolderFunction getFolder, const char* rest);
