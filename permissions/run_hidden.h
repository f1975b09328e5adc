#pragma once

#include <windows.h>

// The last keyboard and mouse messages of any Windows: WM_UNICHAR (XP) and
// WM_MOUSEHWHEEL (Vista), past the WM_KEYLAST and WM_MOUSELAST of the oldest
// Windows, whose definitions the build uses. Input is dropped while a step
// runs whichever Windows sends it.
constexpr UINT kLastKeyMessage = 0x0109;
constexpr UINT kLastMouseMessage = 0x020E;

// Returned when the command could not be started at all: never zero, so the
// step is reported as failed rather than passing for a success.
constexpr DWORD kRunHiddenNotStarted = 0xFFFFFFFFu;

// Runs the system's cacls with one command line (whose first word is the
// tool's name) as a child process with no visible window, in the program's
// current directory, which it inherits; waits for it to end and returns its
// exit code.
// While it waits, the thread's messages are dispatched, apart from keyboard
// and mouse input, which is dropped; a WM_QUIT is posted again on return.
// commandLine must be writable (the platform may change it during the call).
DWORD RunHidden(char* commandLine);
