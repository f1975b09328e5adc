#include "permissions/system_tool.h"

#include <stddef.h>

#include "app/system_folder.h"

namespace {

constexpr size_t kToolPathSize = MAX_PATH + 32;

typedef BOOL(WINAPI* IsWow64ProcessFunction)(HANDLE, PBOOL);
typedef BOOL(WINAPI* RedirectionFunction)(PVOID*);

void* KernelFunction(const char* name)
{
    return LoadedSystemFunction("kernel32.dll", name);
}

bool RunsUnderWow64()
{
    auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFunction>(KernelFunction("IsWow64Process"));
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

BOOL Start(const char* tool, char* commandLine, DWORD creationFlags, STARTUPINFOA* startup,
           PROCESS_INFORMATION* child)
{
    return CreateProcessA(tool, commandLine, nullptr, nullptr, FALSE, creationFlags, nullptr,
                          nullptr, startup, child);
}

// Under WOW64 the system folder is redirected to SysWOW64 for this process.
// The Sysnative alias reaches the native one; where the alias is missing
// (64-bit Windows before Vista), the redirection is switched off for this
// thread while the tool is started, and only then. Without either, the
// 32-bit tool would read another folder's files, so nothing is started.
BOOL StartNativeTool(char* commandLine, DWORD creationFlags, STARTUPINFOA* startup,
                     PROCESS_INFORMATION* child)
{
    char tool[kToolPathSize];
    // The shared Windows folder: GetWindowsDirectoryA answers a private one
    // for some programs on a terminal server.
    auto getWindowsFolder =
        reinterpret_cast<GetFolderFunction>(KernelFunction("GetSystemWindowsDirectoryA"));
    if (ComposeSystemPath(tool, sizeof tool, getWindowsFolder, "\\Sysnative\\cacls.exe") &&
        GetFileAttributesA(tool) != INVALID_FILE_ATTRIBUTES)
        return Start(tool, commandLine, creationFlags, startup, child);

    auto disable =
        reinterpret_cast<RedirectionFunction>(KernelFunction("Wow64DisableWow64FsRedirection"));
    auto revert =
        reinterpret_cast<RedirectionFunction>(KernelFunction("Wow64RevertWow64FsRedirection"));
    PVOID previous = nullptr;
    if (!ComposeSystemPath(tool, sizeof tool, GetSystemDirectoryA, "\\cacls.exe") ||
        disable == nullptr || revert == nullptr || !disable(&previous))
        return FALSE;
    BOOL started = Start(tool, commandLine, creationFlags, startup, child);
    revert(&previous);
    return started;
}

}  // namespace

BOOL StartSystemTool(char* commandLine, DWORD creationFlags, STARTUPINFOA* startup,
                     PROCESS_INFORMATION* child)
{
    if (RunsUnderWow64())
        return StartNativeTool(commandLine, creationFlags, startup, child);
    char tool[kToolPathSize];
    if (!ComposeSystemPath(tool, sizeof tool, GetSystemDirectoryA, "\\cacls.exe"))
        return FALSE;
    return Start(tool, commandLine, creationFlags, startup, child);
}
