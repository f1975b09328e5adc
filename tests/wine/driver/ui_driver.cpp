#include "ui_driver.h"

#include <cstdio>
#include <string.h>

namespace ui {

namespace {
DWORD WaitScale()
{
    wchar_t value[16] = {};
    DWORD length = GetEnvironmentVariableW(L"QUORVEL_TEST_WAIT_SCALE", value, 16);
    DWORD scale = 0;
    for (DWORD i = 0; i < length && i < 16 && value[i] >= L'0' && value[i] <= L'9'; ++i)
        scale = scale * 10 + (value[i] - L'0');
    return scale >= 1 && scale <= 100 ? scale : 1;
}
}  // namespace

const DWORD kDefaultTimeoutMs = 15000 * WaitScale();

namespace {

const UINT kCodePage = 932;
const int kMessageBoxTextId = 0xFFFF;
const int kPermissionDialogUserId = 1004;
// The open-file dialog's name field: an edit control in the older layout,
// a combo box in the Explorer layout.
const int kOpenFileNameEditId = 0x480;
const int kOpenFileNameComboId = 0x47C;
const DWORD kPollMs = 10;
const int kStartAttempts = 3;

std::wstring Widen(const std::string& text)
{
    int length = MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    int length = WideCharToMultiByte(kCodePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(length, '\0');
    WideCharToMultiByte(kCodePage, 0, wide.c_str(), -1, &text[0], length, nullptr, nullptr);
    text.resize(length > 0 ? length - 1 : 0);
    return text;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

std::string ClassName(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return Narrow(name);
}

}  // namespace

Program StartWide(const std::wstring& commandLine, const std::string& directory)
{
    return StartWide(commandLine, Widen(directory));
}

Program StartWide(const std::wstring& commandLine, const std::wstring& directory)
{
    Program program;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    // Under Wine, now and then the system fails to start a process at all:
    // CreateProcess fails and not one instruction of the program has run. A
    // start refused so is made once more, and said; one refused every time
    // (a wrong path, say) still comes back without a process.
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
            CloseHandle(info.hThread);
            program.process = info.hProcess;
            program.processId = info.dwProcessId;
            break;
        }
        std::printf("the system did not start %s: CreateProcess error %lu (start %d of %d)\n",
                    Narrow(commandLine).c_str(), GetLastError(), attempt, kStartAttempts);
        std::fflush(stdout);
    }
    return program;
}

Program Start(const std::string& commandLine, const std::string& directory)
{
    // The system would widen an ANSI command line by the same code page.
    return StartWide(Widen(commandLine), directory);
}

DWORD WaitForExit(Program& program, DWORD timeoutMs)
{
    if (program.process == nullptr)
        return STILL_ACTIVE;
    if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(program.process, 0xDEAD);
        WaitForSingleObject(program.process, kDefaultTimeoutMs);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process, &code);
    return code;
}

void Close(Program& program)
{
    if (program.process == nullptr)
        return;
    if (WaitForSingleObject(program.process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(program.process, 0xDEAD);
        WaitForSingleObject(program.process, kDefaultTimeoutMs);
    }
    CloseHandle(program.process);
    program.process = nullptr;
}

WindowKind KindOf(HWND window)
{
    if (ClassName(window) != "#32770")
        return WindowKind::Any;
    if (GetDlgItem(window, kPermissionDialogUserId))
        return WindowKind::PermissionDialog;
    if (GetDlgItem(window, kMessageBoxTextId))
        return WindowKind::MessageBox;
    if (GetDlgItem(window, kOpenFileNameEditId) || GetDlgItem(window, kOpenFileNameComboId))
        return WindowKind::OpenFileDialog;
    return WindowKind::Any;
}

std::vector<HWND> VisibleWindows(DWORD processId)
{
    WindowSearch search = {processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND WaitForWindow(const Program& program, WindowKind kind, DWORD timeoutMs)
{
    // Nothing to wait for: a null handle would fail every wait at once, and
    // the loop would spin to its limit.
    if (program.process == nullptr)
        return nullptr;
    DWORD start = GetTickCount();
    do {
        for (HWND window : VisibleWindows(program.processId))
            if (kind == WindowKind::Any || KindOf(window) == kind)
                return window;
        if (WaitForSingleObject(program.process, kPollMs) == WAIT_OBJECT_0)
            return nullptr;
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring TextWide(HWND window)
{
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    // Without SMTO_ABORTIFHUNG: Wine takes a thread for hung when it has not
    // read its queue for 5 s, which a program slowed down by a busy machine
    // (or the emulated PC) may not have done when its first window appears;
    // the send then failed at once and the window read as empty.
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        kDefaultTimeoutMs, &copied);
    return text;
}

std::string Text(HWND window)
{
    return Narrow(TextWide(window));
}

std::string ItemText(HWND dialog, int id)
{
    return Text(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text)
{
    std::wstring wide = Widen(text);
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void SetItemTextWide(HWND dialog, int id, const std::wstring& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

namespace {

HWND EditFieldOf(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr);
    return edit != nullptr ? edit : control;
}

}  // namespace

void TypeIntoItem(HWND dialog, int id, const std::wstring& text, UINT charMessage)
{
    HWND edit = EditFieldOf(dialog, id);
    LRESULT before = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    for (wchar_t unit : text)
        SendMessageW(edit, charMessage, unit, 1);
    // Wine's default handling of WM_IME_CHAR posts a WM_CHAR to the field,
    // which the program reads only after the send has returned; on a slow
    // machine the last ones come well after. Done once every unit is in.
    LRESULT typed = before + static_cast<LRESULT>(text.size());
    DWORD start = GetTickCount();
    while (SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) < typed &&
           GetTickCount() - start < kDefaultTimeoutMs)
        Sleep(kPollMs);
}

bool PasteIntoItem(HWND dialog, int id, const std::wstring& text)
{
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (data == nullptr)
        return false;
    memcpy(GlobalLock(data), text.c_str(), bytes);
    GlobalUnlock(data);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(data);
        return false;
    }
    EmptyClipboard();
    // Owned by the clipboard from here; a failed call leaks it, once, in a test.
    bool set = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    if (!set)
        return false;
    SendMessageW(EditFieldOf(dialog, id), WM_PASTE, 0, 0);
    return true;
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[1024] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(Narrow(item));
    }
    return items;
}

int CheckState(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

void SetCheckState(HWND dialog, int id, int state)
{
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, state, 0);
}

MessageBoxText ReadMessageBox(HWND box)
{
    std::wstring text = TextWide(GetDlgItem(box, kMessageBoxTextId));
    return {Text(box), Narrow(text), text};
}

void AnswerMessageBox(HWND box)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    // Wait until it is gone, so that the next box found is a new one.
    DWORD start = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < kDefaultTimeoutMs)
        Sleep(kPollMs);
}

namespace {

DWORD WINAPI SendApply(void* parameter)
{
    HWND dialog = static_cast<HWND>(parameter);
    // A sent message returns only when the dialog procedure has returned,
    // which is when the Apply, with all its boxes, is over.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return 0;
}

}  // namespace

RunningApply StartApply(HWND dialog)
{
    RunningApply apply;
    apply.dialog = dialog;
    apply.sender = CreateThread(nullptr, 0, SendApply, dialog, 0, nullptr);
    return apply;
}

bool ApplyIsOver(const RunningApply& apply)
{
    return apply.sender == nullptr || WaitForSingleObject(apply.sender, 0) == WAIT_OBJECT_0;
}

bool FinishApply(RunningApply& apply, DWORD timeoutMs)
{
    if (apply.sender == nullptr)
        return false;
    bool over = WaitForSingleObject(apply.sender, timeoutMs) == WAIT_OBJECT_0;
    if (!over)
        TerminateThread(apply.sender, 1);
    CloseHandle(apply.sender);
    apply.sender = nullptr;
    return over;
}

std::vector<MessageBoxText> ApplyAndAnswerBoxes(const Program& program, HWND dialog,
                                                DWORD timeoutMs)
{
    std::vector<MessageBoxText> boxes;
    RunningApply apply = StartApply(dialog);
    DWORD start = GetTickCount();
    while (WaitForSingleObject(apply.sender, kPollMs) == WAIT_TIMEOUT) {
        for (HWND window : VisibleWindows(program.processId)) {
            if (KindOf(window) == WindowKind::MessageBox) {
                boxes.push_back(ReadMessageBox(window));
                AnswerMessageBox(window);
            }
        }
        if (GetTickCount() - start > timeoutMs)
            break;
    }
    if (!FinishApply(apply, 0))
        boxes.push_back({"<timeout>", "the Apply did not end"});
    else if (!IsWindowEnabled(dialog))
        boxes.push_back({"<disabled>", "the dialog is still disabled after the Apply"});
    return boxes;
}

void PostCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace ui
