// A probe for the Apply benchmark: the permission dialog from the program's
// resources whose Apply runs a fixed list of command lines, each with a bare
// CreateProcessA (hidden, as the program starts it) and a wait, one after
// another. Timed against quorvel.exe, it tells what the program's own code
// adds to an Apply from what any dialog process that starts children pays
// under Wine.
//
//   baseline_runner.exe FILE     FILE: the command lines, one a line
//
// Built twice more, to tell apart what the program differs in:
// baseline_runner_imports also loads the DLLs that quorvel.exe loads
// (QUORVEL_BENCH_PROGRAM_IMPORTS), and baseline_runner_steps also does around
// each run what the program's step does beyond a bare CreateProcessA
// (QUORVEL_BENCH_PROGRAM_STEP): the wait cursor, the explicit current
// directory, the priority class, and a wait that dispatches messages.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "resources/resource.h"

#ifdef QUORVEL_BENCH_PROGRAM_IMPORTS
#include "bench/program_imports.h"
#endif
#ifdef QUORVEL_BENCH_PROGRAM_STEP
#include "permissions/wake_mask.h"
#endif

namespace {

constexpr int kMaxCommands = 16;
constexpr DWORD kCommandTextSize = 16384;

// Read once at start, so that an Apply does nothing but run the children.
char g_commandText[kCommandTextSize];
char* g_commands[kMaxCommands];
int g_commandCount = 0;

#ifdef QUORVEL_BENCH_PROGRAM_STEP
// The program's wait, as permissions/run_hidden.cpp does it: the child and
// the thread's messages together, with the kinds of input the running
// Windows defines (and NT 4.0's where those are refused), input dropped, a
// WM_QUIT kept for later.
void WaitDispatchingMessages(HANDLE process)
{
    bool quit = false;
    WPARAM quitCode = 0;
    DWORD wakeMask = WakeMaskForReportedVersion(GetVersion());
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
            } else if (!(message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) &&
                       !(message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)) {
                DispatchMessageA(&message);
            }
        }
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, wakeMask);
        if (woken == WAIT_OBJECT_0 + 1)
            continue;
        if (woken != WAIT_OBJECT_0 && wakeMask != kWakeMaskNt4) {
            wakeMask = kWakeMaskNt4;
            continue;
        }
        break;
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}
#endif

bool LoadCommands(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD length = 0;
    bool read = ReadFile(file, g_commandText, kCommandTextSize - 1, &length, nullptr) != 0;
    CloseHandle(file);
    if (!read)
        return false;
    g_commandText[length] = '\0';
    for (char* line = strtok(g_commandText, "\r\n");
         line != nullptr && g_commandCount < kMaxCommands; line = strtok(nullptr, "\r\n"))
        g_commands[g_commandCount++] = line;
    return g_commandCount > 0;
}

void RunCommands()
{
    for (int i = 0; i < g_commandCount; ++i) {
        // CreateProcessA may write to the line; each run gets a fresh copy.
        char line[4096];
        lstrcpynA(line, g_commands[i], sizeof line);
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION child;
#ifdef QUORVEL_BENCH_PROGRAM_STEP
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        char directory[MAX_PATH];
        DWORD directoryLength = GetCurrentDirectoryA(MAX_PATH, directory);
        const char* childDirectory =
            directoryLength > 0 && directoryLength < MAX_PATH ? directory : nullptr;
        const DWORD flags = NORMAL_PRIORITY_CLASS;
#else
        const char* childDirectory = nullptr;
        const DWORD flags = 0;
#endif
        if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, flags, nullptr, childDirectory,
                            &startup, &child))
            continue;
#ifdef QUORVEL_BENCH_PROGRAM_STEP
        WaitDispatchingMessages(child.hProcess);
#else
        WaitForSingleObject(child.hProcess, INFINITE);
#endif
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
}

INT_PTR CALLBACK RunnerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        RunCommands();
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2 || !LoadCommands(__argv[1]))
        return 1;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PERMISSIONS), nullptr, RunnerDialogProc, 0);
    return 0;
}
