// Takes the place of the platform's cacls beside the program under test
// (a process looks for a program in its own exe's folder first). It changes
// nothing; it records what it was given and exits with a code the test chose.
//
// Environment (read with the W calls: the A call cuts double-byte text short):
//   QUORVEL_STANDIN_LOG           file to append one record per run to
//   QUORVEL_STANDIN_FAIL_ON       fail when the command line contains this text
//   QUORVEL_STANDIN_FAIL_MISSING  "1": fail when the path argument names nothing
//   QUORVEL_STANDIN_EXIT_CODE     the code to fail with (default 5)
//   QUORVEL_STANDIN_SLEEP_ON      sleep before exiting when the command line
//                                 contains this text, as a long run does
//   QUORVEL_STANDIN_SLEEP_MS      how long (default 2000)
//
// A record, one field a line: "cmd <command line>", "arg <argument>" for each
// argument after the program name as CommandLineToArgvW splits them (which is
// what the real tool receives), "cwd <directory>", "show <flags> <show state>",
// "pid <process ID>", "start <time>", then "end". The record is written when
// the run starts; "finish <process ID> <time>" follows on a line of its own
// when it ends, after any other records written meanwhile. Times are
// QueryPerformanceCounter ticks, one clock for every process. Text is written
// in code page 932.
#include <windows.h>

#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

namespace {

const UINT kCodePage = 932;

bool ReadVariable(const wchar_t* name, wchar_t* value, DWORD size)
{
    DWORD length = GetEnvironmentVariableW(name, value, size);
    return length > 0 && length < size;
}

void WriteField(HANDLE log, const char* tag, const wchar_t* text)
{
    char bytes[8192];
    int length = WideCharToMultiByte(kCodePage, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    DWORD written;
    WriteFile(log, tag, lstrlenA(tag), &written, nullptr);
    WriteFile(log, " ", 1, &written, nullptr);
    if (length > 1)
        WriteFile(log, bytes, length - 1, &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
}

HANDLE OpenLog(const wchar_t* logPath)
{
    return CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Now(wchar_t* text, size_t size)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    swprintf(text, size, L"%lld", static_cast<long long>(now.QuadPart));
}

void WriteFinish(const wchar_t* logPath)
{
    HANDLE log = OpenLog(logPath);
    if (log == INVALID_HANDLE_VALUE)
        return;
    wchar_t time[32];
    Now(time, 32);
    wchar_t finish[64];
    swprintf(finish, 64, L"%lu %ls", static_cast<unsigned long>(GetCurrentProcessId()), time);
    WriteField(log, "finish", finish);
    CloseHandle(log);
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);

    wchar_t logPath[MAX_PATH * 2];
    bool logging = ReadVariable(L"QUORVEL_STANDIN_LOG", logPath, MAX_PATH * 2);
    if (logging) {
        HANDLE log = OpenLog(logPath);
        if (log != INVALID_HANDLE_VALUE) {
            WriteField(log, "cmd", GetCommandLineW());
            for (int i = 1; i < argc; ++i)
                WriteField(log, "arg", argv[i]);
            wchar_t directory[MAX_PATH * 2];
            GetCurrentDirectoryW(MAX_PATH * 2, directory);
            WriteField(log, "cwd", directory);
            STARTUPINFOW startup;
            GetStartupInfoW(&startup);
            wchar_t show[64];
            swprintf(show, 64, L"%lu %u", static_cast<unsigned long>(startup.dwFlags),
                     static_cast<unsigned>(startup.wShowWindow));
            WriteField(log, "show", show);
            wchar_t number[32];
            swprintf(number, 32, L"%lu", static_cast<unsigned long>(GetCurrentProcessId()));
            WriteField(log, "pid", number);
            Now(number, 32);
            WriteField(log, "start", number);
            WriteField(log, "end", L"");
            CloseHandle(log);
        }
    }

    wchar_t value[1024];
    if (ReadVariable(L"QUORVEL_STANDIN_SLEEP_ON", value, 1024) &&
        wcsstr(GetCommandLineW(), value)) {
        DWORD sleepMs = 2000;
        if (ReadVariable(L"QUORVEL_STANDIN_SLEEP_MS", value, 1024))
            sleepMs = static_cast<DWORD>(_wtoi(value));
        Sleep(sleepMs);
    }

    int exitCode = 0;
    int failureCode = 5;
    if (ReadVariable(L"QUORVEL_STANDIN_EXIT_CODE", value, 1024))
        failureCode = _wtoi(value);
    if (ReadVariable(L"QUORVEL_STANDIN_FAIL_ON", value, 1024) && wcsstr(GetCommandLineW(), value))
        exitCode = failureCode;
    else if (ReadVariable(L"QUORVEL_STANDIN_FAIL_MISSING", value, 1024) && value[0] == L'1' &&
             (argc < 2 || GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES))
        exitCode = failureCode;
    if (logging)
        WriteFinish(logPath);
    return exitCode;
}
