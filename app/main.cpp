// The entry: chooses where the target comes from, then hands the rest of the
// program's life to the modal permission dialog. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <stddef.h>
#include <string.h>

#include "app/ansi_read_back.h"
#include "app/app_state.h"
#include "app/command_line.h"
#include "app/runtime_support.h"
#include "app/screen_text.h"
#include "app/system_folder.h"
#include "dialog/permission_dialog.h"
#include "resources/resource.h"

namespace {

const char kUsageText[] = "ファイル名を指定するかファイルをドロップしてください。";
const char kUsageCaption[] = "使い方";

// The request as the first NT versions of the dialog knew it (76 bytes in
// the 32-bit program), without the three fields that later versions append.
constexpr DWORD kOpenFileRequestSize = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);
static_assert(sizeof(void*) != 4 || kOpenFileRequestSize == 76,
              "the 32-bit open-file request is 76 bytes");
static_assert(sizeof(void*) != 8 || kOpenFileRequestSize == 136,
              "the 64-bit open-file request is 136 bytes");

typedef BOOL(WINAPI* GetOpenFileNameFunction)(LPOPENFILENAMEW);

// The open-file dialog is needed only when no path was given. Linked
// statically, comdlg32 and the shell DLLs it brings would be loaded on every
// start, at a cost each drop on the icon would pay. It is loaded from the
// system folder by its full path, so no DLL of the same name elsewhere is
// ever taken for it. The wide form is asked for: the ANSI form would hand
// over a name the code page cannot hold already changed, beyond checking.
GetOpenFileNameFunction LoadGetOpenFileName()
{
    HMODULE commonDialogs = LoadSystemDll("\\comdlg32.dll");
    if (commonDialogs == nullptr)
        return nullptr;
    return reinterpret_cast<GetOpenFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(commonDialogs, "GetOpenFileNameW")));
}

// False when no file was chosen: cancelled, or the dialog failed, or the
// chosen path takes more than the 260 bytes the dialog was told in ANSI, as
// the ANSI dialog itself refused. The ANSI form may be lossy; the target check
// compares it with the wide answer before anything acts on it, which finds any
// loss without WC_NO_BEST_FIT_CHARS, a flag that NT 4.0 does not know.
bool ChooseFileToOpen()
{
    GetOpenFileNameFunction getOpenFileName = LoadGetOpenFileName();
    if (getOpenFileName == nullptr)
        return false;
    OPENFILENAMEW request;
    memset(&request, 0, sizeof request);
    request.lStructSize = kOpenFileRequestSize;
    request.lpstrFile = g_app.openFileWideBuffer;
    request.nMaxFile = kOpenFileDialogCapacity;
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    if (getOpenFileName(&request) == 0)
        return false;
    return WideCharToMultiByte(CP_ACP, 0, g_app.openFileWideBuffer, -1, g_app.openFileBuffer,
                               kOpenFileDialogCapacity, nullptr, nullptr) > 0;
}

// Kept out of the entry, so that its protected callees keep frames of their
// own rather than being merged into one that cannot be protected.
__attribute__((noinline)) int RunProgram(HINSTANCE instance, const char* tail)
{
    g_app.originFlag = ORIGIN_COMMAND_LINE;
    g_app.ansiLeadBytes = AnsiLeadByteRule();
    if (tail[0] == '\0') {
        if (!ChooseFileToOpen()) {
            ShowMessage(nullptr, nullptr, kUsageText, kUsageCaption, MB_ICONINFORMATION);
            return 0;
        }
        g_app.originFlag = ORIGIN_OPEN_FILE_DIALOG;
        g_app.sourceText = g_app.openFileBuffer;
    } else {
        g_app.sourceText = tail;
    }

    // The manifest asks for version 6 of the common controls, for themed
    // buttons and check boxes; the call binds comctl32, which registers its
    // classes as it loads, so the dialog is built from them. The Ex form is
    // missing from the comctl32 of the first NT 4.0 releases.
    InitCommonControls();

    // A Unicode dialog: the template's texts reach its controls as they are.
    // An ANSI one would have them converted to the ANSI code page first,
    // and on any system whose code page is not 932 they would read ????.
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PERMISSIONS), nullptr, PermissionDialogProc, 0);
    return 0;
}

}  // namespace

// The process starts here. No C runtime start-up runs before it: the program
// uses no argv, no heap, no atexit and no static constructors, so it needs
// none, and without it the exe is a fraction of the size and loads no
// runtime DLL. The tail is computed from the full command line, with bytes
// compared as unsigned values, so that an unquoted program path holding
// double-byte text is read whole. The stack guard is seeded before anything
// else runs, and the DLL search is narrowed before anything can load a DLL;
// the entry itself is not protected, since it holds the guard's old value
// across the seeding, and never returns.
extern "C" [[noreturn]] __attribute__((no_stack_protector)) void ProgramEntry()
{
    SeedStackGuard();
    RestrictDllSearch(LoadedSystemFunction);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* tail = FindCommandLineTail(GetCommandLineA());
    ExitProcess(static_cast<UINT>(RunProgram(instance, tail)));
}
