// The start-up baseline: the permission dialog from the program's own
// resources (template, manifest, icon, version block), shown modally by the
// same call, with a procedure that does nothing but close it. What
// quorvel.exe costs beyond this program is its own doing.
//
// Like quorvel.exe it has an entry point of its own and no C runtime. Built
// again as baseline_dialog_crt with QUORVEL_BENCH_CRT_STARTUP, it starts
// through mingw's C runtime start-up instead, as quorvel.exe once did: a
// second reference that shows what that start-up costs.
//
// Built a second time as baseline_dialog_imports with
// QUORVEL_BENCH_PROGRAM_IMPORTS: that probe also binds quorvel.exe's imports
// that this program lacks, without calling them, so that the loader maps the
// same DLLs at start-up.
#include <windows.h>

#include "resources/resource.h"

#ifdef QUORVEL_BENCH_PROGRAM_IMPORTS
#include "bench/program_imports.h"
#endif

namespace {

INT_PTR CALLBACK BaselineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    // Cancel, Esc and the close box all arrive as IDCANCEL, as in the program.
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

#ifdef QUORVEL_BENCH_CRT_STARTUP
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PERMISSIONS), nullptr, BaselineDialogProc, 0);
    return 0;
}
#else
extern "C" [[noreturn]] void ProgramEntry()
{
    DialogBoxParamW(GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDD_PERMISSIONS), nullptr,
                    BaselineDialogProc, 0);
    ExitProcess(0);
}
#endif
