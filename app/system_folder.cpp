#include "app/system_folder.h"

#include "app/text_buffer.h"

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
