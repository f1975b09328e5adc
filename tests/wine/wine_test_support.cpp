#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>

std::string BinaryFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

namespace {

// With the W calls: a test may leave names behind that code page 932 cannot
// hold, which the A calls would turn into other names and never remove.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string FreshWorkFolder()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/')
            c = '.';
    CreateDirectoryA("C:\\quorvel-tests", nullptr);
    std::string folder = "C:\\quorvel-tests\\" + name;
    wchar_t wideFolder[MAX_PATH];
    MultiByteToWideChar(932, 0, folder.c_str(), -1, wideFolder, MAX_PATH);
    RemoveTree(wideFolder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::wstring WidenCp932(const std::string& text)
{
    wchar_t wide[2048] = {};
    MultiByteToWideChar(932, 0, text.c_str(), -1, wide, 2048);
    return wide;
}

std::string Utf8(const std::wstring& text)
{
    char bytes[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void SetVariable(const char* name, const std::string& value)
{
    // The W call: the A one mishandles double-byte text under Wine.
    wchar_t wideName[256];
    MultiByteToWideChar(932, 0, name, -1, wideName, 256);
    if (value.empty()) {
        SetEnvironmentVariableW(wideName, nullptr);
        return;
    }
    wchar_t wideValue[2048];
    MultiByteToWideChar(932, 0, value.c_str(), -1, wideValue, 2048);
    SetEnvironmentVariableW(wideName, wideValue);
}

std::vector<ToolRun> ReadToolRuns(const std::string& logPath)
{
    std::vector<ToolRun> runs;
    // Tests read the log while a stand-in may still be writing it: a line
    // without its line end is not yet whole and is left for the next read,
    // and a record counts only once its "end" line is there.
    std::string text = ReadFileText(logPath);
    size_t lastLineEnd = text.find_last_of('\n');
    text.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    std::istringstream log(text);
    std::string line;
    ToolRun run;
    while (std::getline(log, line)) {
        size_t space = line.find(' ');
        std::string tag = line.substr(0, space);
        std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (tag == "cmd")
            run.commandLine = value;
        else if (tag == "arg")
            run.arguments.push_back(value);
        else if (tag == "cwd")
            run.directory = value;
        else if (tag == "show")
            run.show = value;
        else if (tag == "exe")
            run.exe = value;
        else if (tag == "bits")
            run.bits = value;
        else if (tag == "exists")
            run.pathExists = value;
        else if (tag == "pid")
            run.processId = strtoul(value.c_str(), nullptr, 10);
        else if (tag == "start")
            run.start = strtoll(value.c_str(), nullptr, 10);
        else if (tag == "end") {
            runs.push_back(run);
            run = ToolRun();
        } else if (tag == "finish") {
            // "<process ID> <time> <exit code>", written when that run ended.
            std::istringstream fields(value);
            unsigned long processId = 0;
            long long finish = 0;
            unsigned long exitCode = 0;
            fields >> processId >> finish >> exitCode;
            for (ToolRun& started : runs)
                if (started.processId == processId && started.finish == 0) {
                    started.finish = finish;
                    started.exitCode = exitCode;
                }
        }
    }
    return runs;
}

size_t CountFailedRuns(const std::vector<ToolRun>& runs, size_t first)
{
    size_t failed = 0;
    for (size_t i = first; i < runs.size(); ++i)
        failed += runs[i].exitCode != 0 ? 1 : 0;
    return failed;
}

std::vector<std::string> CommandLines(const std::vector<ToolRun>& runs)
{
    std::vector<std::string> lines;
    for (const ToolRun& run : runs)
        lines.push_back(run.commandLine);
    return lines;
}

std::string ResetToolStandIn(const std::string& folder)
{
    std::string log = folder + "\\tool.log";
    DeleteFileA(log.c_str());
    SetVariable("QUORVEL_STANDIN_LOG", log);
    SetVariable("QUORVEL_STANDIN_FAIL_ON", "");
    SetVariable("QUORVEL_STANDIN_FAIL_MISSING", "");
    SetVariable("QUORVEL_STANDIN_EXIT_CODE", "");
    SetVariable("QUORVEL_STANDIN_SLEEP_ON", "");
    SetVariable("QUORVEL_STANDIN_SLEEP_MS", "");
    SetVariable("QUORVEL_STANDIN_LOG_CODE_PAGE", "");
    return log;
}

bool UnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

namespace {

std::string WindowsFolder()
{
    char folder[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

std::string SystemFolder()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string NativeSystemFolder()
{
    return WindowsFolder() + (UnderWow64() ? "\\Sysnative" : "\\system32");
}

testing::AssertionResult RanTheSystemTool(const ToolRun& run)
{
    // Started through the alias, the native tool may see its own path by
    // either name.
    std::string exe = Lower(run.exe);
    std::string windows = Lower(WindowsFolder());
    bool systemCopy = exe == windows + "\\system32\\cacls.exe" ||
                      (UnderWow64() && exe == windows + "\\sysnative\\cacls.exe");
    // The system's own tool has the system's bitness: 64 under WOW64 and
    // for the 64-bit build of the program, else 32.
    std::string nativeBits = (UnderWow64() || sizeof(void*) == 8) ? "64" : "32";
    if (systemCopy && run.bits == nativeBits)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "ran " << run.exe << " (" << run.bits << "-bit), not the "
                                       << nativeBits << "-bit system tool";
}
