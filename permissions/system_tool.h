// Starting the system's own cacls, whatever the first word of the command
// line, the program's folder or the current folder hold.
#pragma once

#include <windows.h>

// CreateProcessA for the system's cacls.exe, named by its full path as the
// application name; commandLine is handed to it unchanged. Searching for the
// tool by name would look in the program's folder and in the current folder
// first, so a cacls.exe left in either would run in its place. In a 32-bit
// process on 64-bit Windows the native tool is started, which reads paths in
// the system folder as the user named them rather than in SysWOW64. FALSE
// when the tool cannot be named or started. The child inherits the
// program's working folder.
BOOL StartSystemTool(char* commandLine, DWORD creationFlags, STARTUPINFOA* startup,
                     PROCESS_INFORMATION* child);
