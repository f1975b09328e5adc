// The entry: chooses where the target comes from, then hands the rest of the
// program's life to the modal permission dialog. The exit code is always 0.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <stddef.h>
#include <string.h>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/text_buffer.h"
#include "dialog/permission_dialog.h"
#include "resources/resource.h"

namespace {

const char kUsageText[] = "ファイル名を指定するかファイルをドロップしてください。";
const char kUsageCaption[] = "使い方";

// The request as the first NT versions of the dialog knew it (76 bytes in
// the 32-bit program), without the three fields that later versions append.
constexpr DWORD kOpenFileRequestSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || kOpenFileRequestSize == 76,
              "the 32-bit open-file request is 76 bytes");

typedef BOOL(WINAPI* GetOpenFileNameFunction)(LPOPENFILENAMEA);

// The open-file dialog is needed only when no path was given. Linked
// statically, comdlg32 and the shell DLLs it brings would be loaded on every
// start, at a cost each drop on the icon would pay. It is loaded from the
// system folder by its full path, so no DLL of the same name elsewhere is
// ever taken for it.
GetOpenFileNameFunction LoadGetOpenFileName()
{
    char path[MAX_PATH + 32];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    size_t used = length;
    if (length == 0 || length >= MAX_PATH ||
        !AppendText(path, sizeof path, &used, "\\comdlg32.dll"))
        return nullptr;
    HMODULE commonDialogs = LoadLibraryA(path);
    if (commonDialogs == nullptr)
        return nullptr;
    return reinterpret_cast<GetOpenFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(commonDialogs, "GetOpenFileNameA")));
}

// False when no file was chosen: cancelled, or the dialog failed.
bool ChooseFileToOpen()
{
    GetOpenFileNameFunction getOpenFileName = LoadGetOpenFileName();
    if (getOpenFileName == nullptr)
        return false;
    OPENFILENAMEA request;
    memset(&request, 0, sizeof request);
    request.lStructSize = kOpenFileRequestSize;
    request.lpstrFile = g_app.openFileBuffer;
    request.nMaxFile = kOpenFileDialogCapacity;
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    return getOpenFileName(&request) != 0;
}

int RunProgram(HINSTANCE instance, const char* tail)
{
    g_app.originFlag = ORIGIN_COMMAND_LINE;
    if (tail[0] == '\0') {
        if (!ChooseFileToOpen()) {
            MessageBoxA(nullptr, kUsageText, kUsageCaption, MB_ICONINFORMATION | MB_OK);
            return 0;
        }
        g_app.originFlag = ORIGIN_OPEN_FILE_DIALOG;
        g_app.sourceText = g_app.openFileBuffer;
    } else {
        g_app.sourceText = tail;
    }

    // The manifest asks for version 6 of the common controls, for themed
    // buttons and check boxes; registering its classes first makes sure the
    // dialog is built from them.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PERMISSIONS), nullptr, PermissionDialogProc, 0);
    return 0;
}

}  // namespace

// The process starts here. No C runtime start-up runs before it: the program
// uses no argv, no heap, no atexit and no static constructors, so it needs
// none, and without it the exe is a fraction of the size and loads no
// runtime DLL. The tail is computed from the full command line, with bytes
// compared as unsigned values, so that an unquoted program path holding code
// page 932 text is read whole.
extern "C" [[noreturn]] void ProgramEntry()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* tail = FindCommandLineTail(GetCommandLineA());
    ExitProcess(static_cast<UINT>(RunProgram(instance, tail)));
}
