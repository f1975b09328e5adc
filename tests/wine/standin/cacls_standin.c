/* Takes the place of the platform's cacls in the system folders of the test
 * prefixes, in a 32-bit and a 64-bit build. It changes nothing; it records
 * which copy ran, what it was given and what it could see, and exits with a
 * code the test chose. It is C so that either architecture's C compiler alone
 * builds it.
 *
 * Environment (read with the W calls: the A call cuts double-byte text short):
 *   QUORVEL_STANDIN_LOG           file to append one record per run to
 *   QUORVEL_STANDIN_FAIL_ON       fail when the command line contains this text
 *   QUORVEL_STANDIN_FAIL_MISSING  "1": fail when the path argument names nothing
 *   QUORVEL_STANDIN_EXIT_CODE     the code to fail with (default 5)
 *   QUORVEL_STANDIN_SLEEP_ON      sleep before exiting when the command line
 *                                 contains this text, as a long run does
 *   QUORVEL_STANDIN_SLEEP_MS      how long (default 2000)
 *   QUORVEL_STANDIN_LOG_CODE_PAGE the code page of the record (default 932;
 *                                 65001 keeps what 932 cannot hold, as é)
 *
 * A record, one field a line: "cmd <command line>", "arg <argument>" for each
 * argument after the program name as CommandLineToArgvW splits them (which is
 * what the real tool receives), "cwd <directory>", "show <flags> <show state>",
 * "exe <this copy's own path>", "bits <32 or 64>", "exists <1 or 0>" (whether
 * the path argument names something this copy can see), "pid <process ID>",
 * "start <time>", then "end". The record is written when the run starts;
 * "finish <process ID> <time> <exit code>" follows on a line of its own when
 * it ends, after any other records written meanwhile. Times are
 * QueryPerformanceCounter ticks, one clock for every process. Text is written
 * in code page 932 unless QUORVEL_STANDIN_LOG_CODE_PAGE names another. */
#include <windows.h>

#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

static UINT g_logCodePage = 932;

static BOOL ReadVariable(const wchar_t* name, wchar_t* value, DWORD size)
{
    DWORD length = GetEnvironmentVariableW(name, value, size);
    return length > 0 && length < size;
}

static void WriteField(HANDLE log, const char* tag, const wchar_t* text)
{
    char bytes[8192];
    int length = WideCharToMultiByte(g_logCodePage, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    DWORD written;
    WriteFile(log, tag, lstrlenA(tag), &written, NULL);
    WriteFile(log, " ", 1, &written, NULL);
    if (length > 1)
        WriteFile(log, bytes, length - 1, &written, NULL);
    WriteFile(log, "\n", 1, &written, NULL);
}

static HANDLE OpenLog(const wchar_t* logPath)
{
    return CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
}

static void Now(wchar_t* text, size_t size)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    swprintf(text, size, L"%lld", (long long)now.QuadPart);
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
    swprintf(text, MAX_PATH * 2, L"%lu", (unsigned long)GetCurrentProcessId());
    WriteField(log, "pid", text);
    Now(text, MAX_PATH * 2);
    WriteField(log, "start", text);
    WriteField(log, "end", L"");
}

static void WriteFinish(const wchar_t* logPath, int exitCode)
{
    wchar_t time[32];
    wchar_t finish[64];
    HANDLE log = OpenLog(logPath);
    if (log == INVALID_HANDLE_VALUE)
        return;
    Now(time, 32);
    swprintf(finish, 64, L"%lu %ls %u", (unsigned long)GetCurrentProcessId(), time,
             (unsigned)exitCode);
    WriteField(log, "finish", finish);
    CloseHandle(log);
}

int main(void)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t logPath[MAX_PATH * 2];
    wchar_t value[1024];
    int exitCode = 0;
    int failureCode = 5;
    BOOL logging = ReadVariable(L"QUORVEL_STANDIN_LOG", logPath, MAX_PATH * 2);

    if (ReadVariable(L"QUORVEL_STANDIN_LOG_CODE_PAGE", value, 1024))
        g_logCodePage = (UINT)_wtoi(value);

    if (logging) {
        HANDLE log = OpenLog(logPath);
        if (log != INVALID_HANDLE_VALUE) {
            WriteRecord(log, argc, argv);
            CloseHandle(log);
        }
    }

    if (ReadVariable(L"QUORVEL_STANDIN_SLEEP_ON", value, 1024) && wcsstr(GetCommandLineW(), value)) {
        DWORD sleepMs = 2000;
        if (ReadVariable(L"QUORVEL_STANDIN_SLEEP_MS", value, 1024))
            sleepMs = (DWORD)_wtoi(value);
        Sleep(sleepMs);
    }

    if (ReadVariable(L"QUORVEL_STANDIN_EXIT_CODE", value, 1024))
        failureCode = _wtoi(value);
    if (ReadVariable(L"QUORVEL_STANDIN_FAIL_ON", value, 1024) && wcsstr(GetCommandLineW(), value))
        exitCode = failureCode;
    else if (ReadVariable(L"QUORVEL_STANDIN_FAIL_MISSING", value, 1024) && value[0] == L'1' &&
             !PathArgumentExists(argc, argv))
        exitCode = failureCode;
    if (logging)
        WriteFinish(logPath, exitCode);
    return exitCode;
}
