// The UI driver from the shell, for the scripts that show or picture the
// program:
//
//   uidriver show-window PROGRAM [ARGUMENT...]
//
// starts PROGRAM with the arguments (each quoted when it holds a blank),
// waits until its first window is shown and idle, prints
// "<left> <top> <width> <height>" of that window and leaves the program
// running. Exits 1 when the program ends or shows nothing within 15 s.
//
//   uidriver open-and-cancel PROGRAM [ARGUMENT...]
//
// starts PROGRAM the same way, waits for its permission dialog, prints the
// dialog's title (code page 932), cancels the dialog and exits with the
// program's exit code. Exits 1 when another window comes first (its caption
// and text are printed) or nothing comes, killing the program.
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

std::string CommandLineOf(int argc, char** argv)
{
    std::string commandLine = QuoteIfNeeded(argv[2]);
    for (int i = 3; i < argc; ++i)
        commandLine += " " + QuoteIfNeeded(argv[i]);
    return commandLine;
}

int ShowWindow(int argc, char** argv)
{
    ui::Program program = ui::Start(CommandLineOf(argc, argv), std::string());
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

int OpenAndCancel(int argc, char** argv)
{
    ui::Program program = ui::Start(CommandLineOf(argc, argv), std::string());
    HWND window = ui::WaitForWindow(program, ui::WindowKind::Any);
    if (window == nullptr || ui::KindOf(window) != ui::WindowKind::PermissionDialog) {
        if (window != nullptr) {
            ui::MessageBoxText box = ui::ReadMessageBox(window);
            printf("%s\n%s\n", box.caption.c_str(), box.text.c_str());
        }
        fprintf(stderr, "uidriver: %s showed no permission dialog\n", argv[2]);
        ui::Close(program);
        return 1;
    }
    printf("%s\n", ui::Text(window).c_str());
    ui::PostCommand(window, IDCANCEL);
    DWORD exitCode = ui::WaitForExit(program);
    ui::Close(program);
    return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "show-window") == 0)
        return ShowWindow(argc, argv);
    if (argc >= 3 && strcmp(argv[1], "open-and-cancel") == 0)
        return OpenAndCancel(argc, argv);
    fprintf(stderr, "usage: uidriver {show-window | open-and-cancel} PROGRAM [ARGUMENT...]\n");
    return 2;
}
