/* Takes the place of the platform's cacls in the system folders of the test
 * prefixes, in a 32-bit and a 64-bit build. It changes nothing; it records
 * which copy ran, what it was given and what it could see, and exits with a
 * code the test chose. It is C so that the 64-bit C compiler alone builds it.
 *
 * Environment (read with the W calls: the A call cuts double-byte text short):
 *   QUORVEL_STANDIN_LOG           file to append one record per run to
 *   QUORVEL_STANDIN_FAIL_ON       fail when the command line contains this text
 *   QUORVEL_STANDIN_FAIL_MISSING  "1": fail when the path argument names nothing
 *   QUORVEL_STANDIN_EXIT_CODE     the code to fail with (default 5)
 *
 * A record, one field a line: "cmd <command line>", "arg <argument>" for each
 * argument after the program name as CommandLineToArgvW splits them (which is
 * what the real tool receives), "cwd <directory>", "show <flags> <show state>",
 * "exe <this copy's own path>", "bits <32 or 64>", "exists <1 or 0>" (whether
 * the path argument names something this copy can see), then "end". Text is
 * written in code page 932. */
#include <windows.h>

#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

#define CODE_PAGE 932

static BOOL ReadVariable(const wchar_t* name, wchar_t* value, DWORD size)
{
    DWORD length = GetEnvironmentVariableW(name, value, size);
    return length > 0 && length < size;
}

static void WriteField(HANDLE log, const char* tag, const wchar_t* text)
{
    char bytes[8192];
    int length = WideCharToMultiByte(CODE_PAGE, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    DWORD written;
    WriteFile(log, tag, lstrlenA(tag), &written, NULL);
    WriteFile(log, " ", 1, &written, NULL);
    if (length > 1)
        WriteFile(log, bytes, length - 1, &written, NULL);
    WriteFile(log, "\n", 1, &written, NULL);
}

static BOOL PathArgumentExists(int argc, wchar_t** argv)
{
    return argc >= 2 && GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES;
}

static void WriteRecord(HANDLE log, int argc, wchar_t** argv)
{
    wchar_t text[MAX_PATH * 2];
    STARTUPINFOW startup;
    int i;
    WriteField(log, "cmd", GetCommandLineW());
    for (i = 1; i < argc; ++i)
        WriteField(log, "arg", argv[i]);
    GetCurrentDirectoryW(MAX_PATH * 2, text);
    WriteField(log, "cwd", text);
    GetStartupInfoW(&startup);
    swprintf(text, MAX_PATH * 2, L"%lu %u", (unsigned long)startup.dwFlags,
             (unsigned)startup.wShowWindow);
    WriteField(log, "show", text);
    GetModuleFileNameW(NULL, text, MAX_PATH * 2);
    WriteField(log, "exe", text);
    WriteField(log, "bits", sizeof(void*) == 8 ? L"64" : L"32");
    WriteField(log, "exists", PathArgumentExists(argc, argv) ? L"1" : L"0");
    WriteField(log, "end", L"");
}

int main(void)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t value[1024];
    int failureCode = 5;

    if (ReadVariable(L"QUORVEL_STANDIN_LOG", value, 1024)) {
        HANDLE log = CreateFileW(value, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (log != INVALID_HANDLE_VALUE) {
            WriteRecord(log, argc, argv);
            CloseHandle(log);
        }
    }

    if (ReadVariable(L"QUORVEL_STANDIN_EXIT_CODE", value, 1024))
        failureCode = _wtoi(value);
    if (ReadVariable(L"QUORVEL_STANDIN_FAIL_ON", value, 1024) && wcsstr(GetCommandLineW(), value))
        return failureCode;
    if (ReadVariable(L"QUORVEL_STANDIN_FAIL_MISSING", value, 1024) && value[0] == L'1' &&
        !PathArgumentExists(argc, argv))
        return failureCode;
    return 0;
}
