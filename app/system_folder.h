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

// What the program takes from a Windows later than the oldest one each exe
// runs on (NT 4.0 for the 32-bit one, XP x64 and Server 2003 for the 64-bit
// one), whose definitions the build uses. Each is looked up with
// LoadedSystemFunction where it is used, and left out where it is missing.
//
// kernel32, Windows 8, and Vista to 2008 R2 with their 2011 update
// (KB2533623): SetDefaultDllDirectories, with its flag for the system folder.
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
// kernel32, XP SP1 and Server 2003.
typedef BOOL(WINAPI* SetDllDirectoryFunction)(LPCWSTR);
// user32, Vista.
typedef BOOL(WINAPI* ShutdownBlockReasonCreateFunction)(HWND, LPCWSTR);
typedef BOOL(WINAPI* ShutdownBlockReasonDestroyFunction)(HWND);

// LoadedSystemFunction, or a test's stand-in for it.
typedef void* (*SystemFunctionLookup)(const char* module, const char* name);

// Keeps every DLL that is loaded by name, by the program or by the system
// DLLs it calls, out of the program's own folder and the working folder: a
// download folder collects whatever a web page made the browser save, and a
// DLL planted there would run inside the program with the user's rights, or
// an administrator's. Called first thing, before anything can load a DLL.
// Where the system has SetDefaultDllDirectories (Windows 8 on, Vista and 7
// with their 2011 update), DLLs are searched for in the system folder only.
// Elsewhere the working folder is taken out of the search where
// SetDllDirectoryW allows (XP SP1 on), and the DLLs that the dialogs and the
// shell are known to load by name are loaded now, from the system folder by
// their full paths, so that a later load by name finds them loaded. lookUp
// tells which of the two calls the system has.
void RestrictDllSearch(SystemFunctionLookup lookUp);

// Loads a DLL of the system folder by its full path ("\\comdlg32.dll");
// nullptr when it is missing or will not load. The DLLs it depends on are
// looked for where RestrictDllSearch left the search: never in the
// program's own folder.
HMODULE LoadSystemDll(const char* rest);
