// Drives the real program from another process, as a user would, through
// window messages: starts it with any raw command line, finds its windows,
// reads their texts, presses buttons, answers message boxes, and reports how
// it ended. Texts are read with the Unicode calls (Wine marshals only those
// faithfully between processes) and returned in code page 932.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// How long the driver waits for the program to do something: 15 s, times
// the whole number in QUORVEL_TEST_WAIT_SCALE when that is set. The emulated
// PC sets it, as it runs programs several times slower than a real one; what
// the tests check does not change, only how long they wait for it.
extern const DWORD kDefaultTimeoutMs;

struct Program {
    HANDLE process = nullptr;
    DWORD processId = 0;
};

// Starts commandLine exactly as given (no quoting is added) in directory.
Program Start(const std::string& commandLine, const std::string& directory);
// The same from a UTF-16 command line, which may hold characters that code
// page 932 cannot (as a command line from the shell may).
Program StartWide(const std::wstring& commandLine, const std::string& directory);
// The same in a directory whose name code page 932 may not hold.
Program StartWide(const std::wstring& commandLine, const std::wstring& directory);
// Waits for the process to end; returns its exit code, or STILL_ACTIVE after
// the timeout (the process is then killed, so no test leaves it behind).
DWORD WaitForExit(Program& program, DWORD timeoutMs = kDefaultTimeoutMs);
void Close(Program& program);

enum class WindowKind { Any, PermissionDialog, MessageBox, OpenFileDialog };
WindowKind KindOf(HWND window);
// The program's visible top-level windows, in z-order.
std::vector<HWND> VisibleWindows(DWORD processId);
// The first visible window of that kind, or nullptr after the timeout.
HWND WaitForWindow(const Program& program, WindowKind kind, DWORD timeoutMs = kDefaultTimeoutMs);

std::string Text(HWND window);
// The text as the window holds it, which code page 932 may not hold.
std::wstring TextWide(HWND window);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
void SetItemTextWide(HWND dialog, int id, const std::wstring& text);
// Types text into the edit field of a control (a combo box's, or an edit
// control itself) one UTF-16 unit at a time, as the keyboard (WM_CHAR) or the
// IME (WM_IME_CHAR) delivers it to a Unicode window, and returns once the
// field holds them all (or after the timeout).
void TypeIntoItem(HWND dialog, int id, const std::wstring& text, UINT charMessage);
// Puts text on the clipboard as CF_UNICODETEXT and pastes it into the edit
// field of a control; false when the clipboard could not be set.
bool PasteIntoItem(HWND dialog, int id, const std::wstring& text);
std::vector<std::string> ComboItems(HWND dialog, int id);
int CheckState(HWND dialog, int id);
void SetCheckState(HWND dialog, int id, int state);

struct MessageBoxText {
    MessageBoxText() = default;
    MessageBoxText(std::string caption, std::string text, std::wstring wideText = {})
        : caption(std::move(caption)), text(std::move(text)), wideText(std::move(wideText))
    {
    }
    std::string caption;
    std::string text;
    // The text as the box holds it, which code page 932 may not hold (a
    // path with é, say); not compared.
    std::wstring wideText;
    bool operator==(const MessageBoxText& other) const
    {
        return caption == other.caption && text == other.text;
    }
};
// How a test failure shows a box: its caption and text, in code page 932.
inline void PrintTo(const MessageBoxText& box, std::ostream* out)
{
    *out << "{\"" << box.caption << "\", \"" << box.text << "\"}";
}
MessageBoxText ReadMessageBox(HWND box);
// Presses the box's OK button.
void AnswerMessageBox(HWND box);

// An Apply pressed and not yet over. The program keeps answering messages
// while it runs, so a reply from the dialog says nothing about its end: the
// Apply is over when the sent command returns (the dialog procedure has
// returned), and the dialog is then enabled again.
struct RunningApply {
    HWND dialog = nullptr;
    HANDLE sender = nullptr;
};
// Presses Apply and returns at once.
RunningApply StartApply(HWND dialog);
bool ApplyIsOver(const RunningApply& apply);
// Waits for the Apply to end without answering anything; false after the
// timeout. Call exactly once for every StartApply.
bool FinishApply(RunningApply& apply, DWORD timeoutMs = kDefaultTimeoutMs);

// Presses Apply and answers every message box the Apply shows, in order,
// returning them once the Apply is over. An Apply that does not end, or
// leaves the dialog disabled, adds a box of its own ("<timeout>",
// "<disabled>") so that the comparison of boxes fails.
std::vector<MessageBoxText> ApplyAndAnswerBoxes(const Program& program, HWND dialog,
                                                DWORD timeoutMs = kDefaultTimeoutMs);

// Sends a command to the dialog without waiting for it to be handled.
void PostCommand(HWND dialog, int id);

}  // namespace ui
