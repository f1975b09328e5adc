// The UI driver from the shell, for the scripts that show or picture the
// program:
//
//   uidriver show-window PROGRAM [ARGUMENT...]
//
// starts PROGRAM with the arguments (each quoted when it holds a blank),
// waits until its first window is shown and idle, prints
// "<left> <top> <width> <height>" of that window and leaves the program
// running. Exits 1 when the program ends or shows nothing within 15 s.
#include <stdio.h>
#include <string.h>

#include <string>

#include "ui_driver.h"

namespace {

std::string QuoteIfNeeded(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t") == std::string::npos)
        return argument;
    return "\"" + argument + "\"";
}

int ShowWindow(int argc, char** argv)
{
    std::string commandLine = QuoteIfNeeded(argv[2]);
    for (int i = 3; i < argc; ++i)
        commandLine += " " + QuoteIfNeeded(argv[i]);
    ui::Program program = ui::Start(commandLine, std::string());
    HWND window = ui::WaitForWindow(program, ui::WindowKind::Any);
    if (window == nullptr) {
        fprintf(stderr, "uidriver: %s showed no window\n", argv[2]);
        return 1;
    }
    // Once the window's thread answers, it has painted what it shows first.
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ui::kDefaultTimeoutMs, &ignored);
    Sleep(300);
    RECT rect;
    GetWindowRect(window, &rect);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
           rect.bottom - rect.top);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "show-window") == 0)
        return ShowWindow(argc, argv);
    fprintf(stderr, "usage: uidriver show-window PROGRAM [ARGUMENT...]\n");
    return 2;
}
