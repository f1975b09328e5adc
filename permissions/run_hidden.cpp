#include "permissions/run_hidden.h"

#include <string.h>

#include "permissions/system_tool.h"

namespace {
constexpr DWORD kCurrentDirectorySize = 260;
}

DWORD RunHidden(char* commandLine)
{
    char currentDirectory[kCurrentDirectorySize];
    DWORD directoryLength = GetCurrentDirectoryA(kCurrentDirectorySize, currentDirectory);
    // When the directory does not fit, the buffer holds nothing usable; the
    // child then inherits the program's current directory by itself.
    const char* childDirectory = (directoryLength > 0 && directoryLength < kCurrentDirectorySize)
                                     ? currentDirectory
                                     : nullptr;

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child;
    memset(&child, 0, sizeof child);

    if (!StartSystemTool(commandLine, NORMAL_PRIORITY_CLASS, childDirectory, &startup, &child))
        return kRunHiddenNotStarted;

    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD exitCode = kRunHiddenNotStarted;
    if (!GetExitCodeProcess(child.hProcess, &exitCode))
        exitCode = kRunHiddenNotStarted;
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return exitCode;
}
