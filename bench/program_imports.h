// For the probes that load what quorvel.exe loads: binds the program's
// imports that a bare dialog program lacks, without calling them, so that the
// loader maps the same DLLs. (comdlg32 is not among them: the program loads it
// only when it shows the open-file dialog.)
#pragma once

#include <windows.h>

#include <commctrl.h>

// Volatile so that the references, and with them the imports, stay.
extern "C" {
const void* volatile g_programImports[] = {
    reinterpret_cast<const void*>(&InitCommonControls),
    reinterpret_cast<const void*>(&GetUserNameW),
};
}
