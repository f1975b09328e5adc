/* Planted by the tests beside the program and in its working folder, under
 * the names of system DLLs, as a web page can make a browser save a DLL into
 * a download folder. Each time a process loads it, it appends one line to
 * the file that QUORVEL_PLANTED_LOG names, in UTF-8: the path it was loaded
 * from, " in ", and the process's own exe. It then declines to stay loaded
 * (DllMain answers FALSE), so the load fails and nothing of it runs on.
 *
 * It imports from kernel32 alone and has no C runtime: it must stand in for
 * msvcrt.dll as well as for any other name. */
#include <windows.h>

static void AppendUtf8(HANDLE log, const wchar_t* text)
{
    char bytes[4 * MAX_PATH];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    DWORD written;
    if (length > 1)
        WriteFile(log, bytes, (DWORD)(length - 1), &written, NULL);
}

BOOL WINAPI PlantedDllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    wchar_t logPath[MAX_PATH];
    wchar_t path[MAX_PATH];
    DWORD length;
    HANDLE log;
    DWORD written;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    length = GetEnvironmentVariableW(L"QUORVEL_PLANTED_LOG", logPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (log != INVALID_HANDLE_VALUE) {
            path[0] = 0;
            GetModuleFileNameW(self, path, MAX_PATH);
            AppendUtf8(log, path);
            WriteFile(log, " in ", 4, &written, NULL);
            path[0] = 0;
            GetModuleFileNameW(NULL, path, MAX_PATH);
            AppendUtf8(log, path);
            WriteFile(log, "\n", 1, &written, NULL);
            CloseHandle(log);
        }
    }
    return FALSE;
}
