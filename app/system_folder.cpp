#include "app/system_folder.h"

#include <string.h>

#include "app/text_buffer.h"

namespace {

// The DLLs that the open-file dialog, the shell and the themed common
// controls load by name on some Windows version, none of them on the list of
// DLLs that Windows always takes from the system folder; one after another,
// each without the extension .dll, which the loader adds.
const char kDllsLoadedByName[] =
    "\\uxtheme\0\\userenv\0\\setupapi\0\\apphelp\0\\propsys\0"
    "\\dwmapi\0\\cryptbase\0\\oleacc\0\\clbcatq\0\\version\0\\shcore\0";

// Where the search is the system folder's alone, a DLL loaded by its full
// path has its dependencies searched for there too. Elsewhere they would be
// searched for beside the program first, unless the search starts from the
// loaded DLL's own folder, which LOAD_WITH_ALTERED_SEARCH_PATH asks for.
DWORD g_fullPathLoadFlags;

}  // namespace

bool ComposeSystemPath(char* path, size_t size, GetFolderFunction getFolder, const char* rest)
{
    UINT capacity = static_cast<UINT>(size < MAX_PATH ? size : MAX_PATH);
    UINT length = getFolder == nullptr || capacity == 0 ? 0 : getFolder(path, capacity);
    size_t used = length;
    return length > 0 && length < capacity && AppendText(path, size, &used, rest);
}

void* LoadedSystemFunction(const char* module, const char* name)
{
    HMODULE loaded = GetModuleHandleA(module);
    return loaded == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(loaded, name));
}

void RestrictDllSearch(SystemFunctionLookup lookUp)
{
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        lookUp("kernel32.dll", "SetDefaultDllDirectories"));
    if (setDefaultDllDirectories != nullptr && setDefaultDllDirectories(kLoadLibrarySearchSystem32))
        return;

    g_fullPathLoadFlags = LOAD_WITH_ALTERED_SEARCH_PATH;
    // An empty folder takes the working folder out of the search; the
    // program's own folder stays in it.
    auto setDllDirectory =
        reinterpret_cast<SetDllDirectoryFunction>(lookUp("kernel32.dll", "SetDllDirectoryW"));
    if (setDllDirectory != nullptr)
        setDllDirectory(L"");
    for (const char* dll = kDllsLoadedByName; *dll != '\0'; dll += strlen(dll) + 1)
        LoadSystemDll(dll);
}

HMODULE LoadSystemDll(const char* rest)
{
    char path[MAX_PATH + 32];
    if (!ComposeSystemPath(path, sizeof path, GetSystemDirectoryA, rest))
        return nullptr;
    return LoadLibraryExA(path, nullptr, g_fullPathLoadFlags);
}
