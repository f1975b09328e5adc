#include "permissions/run_hidden.h"

#include <string.h>

#include "permissions/system_tool.h"
#include "permissions/wake_mask.h"

namespace {

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= kLastKeyMessage) ||
           (message >= WM_MOUSEFIRST && message <= kLastMouseMessage);
}

// Dispatches what is waiting in the thread's queue. Input is dropped: the
// caller has disabled its windows for the run, and input that still arrives
// (posted by another program, or typed into a control that kept the focus)
// must not change them behind its back. With no key messages dispatched,
// there is nothing to translate into characters either. Returns true when a
// WM_QUIT was among the messages, with its code.
bool DispatchWaitingMessages(WPARAM* quitCode)
{
    bool quit = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            *quitCode = message.wParam;
        } else if (!IsInput(message.message)) {
            DispatchMessageA(&message);
        }
    }
    return quit;
}

// Waits for the child with no time limit, dispatching the thread's messages
// meanwhile, so that its windows repaint and answer, and the system never
// takes the program for hung. A WM_QUIT ends no wait: the child is waited for
// whatever happens, and the quit is posted again afterwards for the message
// loop it was meant for.
void WaitDispatchingMessages(HANDLE process)
{
    bool quit = false;
    WPARAM quitCode = 0;
    // Every kind of input the running Windows defines, and no kind it does
    // not: the build's QS_ALLINPUT is NT 4.0's, and a later Windows wants
    // its newer kinds to wake the wait as well.
    DWORD wakeMask = WakeMaskForReportedVersion(GetVersion());
    for (;;) {
        // Emptied before every wait: the wait wakes only for messages that
        // arrive after the queue was last read.
        if (DispatchWaitingMessages(&quitCode))
            quit = true;
        DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, wakeMask);
        if (woken == WAIT_OBJECT_0)
            break;
        if (woken == WAIT_OBJECT_0 + 1)
            continue;
        // Refused all the same: asked again with the kinds every Windows
        // defines, which then serve for the rest of the run.
        if (wakeMask != kWakeMaskNt4) {
            wakeMask = kWakeMaskNt4;
            continue;
        }
        // Refused even those; waiting on the child alone cannot spin.
        WaitForSingleObject(process, INFINITE);
        break;
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace

DWORD RunHidden(char* commandLine)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child;
    memset(&child, 0, sizeof child);

    // No folder is named: the child inherits the program's working folder
    // exactly, where a relative target lies. Named through the ANSI calls, a
    // folder whose name the code page cannot hold would reach the system as
    // ? and refuse every start.
    if (!StartSystemTool(commandLine, NORMAL_PRIORITY_CLASS, &startup, &child))
        return kRunHiddenNotStarted;

    WaitDispatchingMessages(child.hProcess);
    DWORD exitCode = kRunHiddenNotStarted;
    if (!GetExitCodeProcess(child.hProcess, &exitCode))
        exitCode = kRunHiddenNotStarted;
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return exitCode;
}
