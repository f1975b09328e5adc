#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

std::string BinaryFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

namespace {

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
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
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
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
    std::ifstream log(logPath, std::ios::binary);
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
        else if (tag == "pid")
            run.processId = std::stoul(value);
        else if (tag == "start")
            run.start = std::stoll(value);
        else if (tag == "end") {
            runs.push_back(run);
            run = ToolRun();
        } else if (tag == "finish") {
            // "<process ID> <time>", written when that run ended.
            std::istringstream fields(value);
            unsigned long processId = 0;
            long long finish = 0;
            fields >> processId >> finish;
            for (ToolRun& started : runs)
                if (started.processId == processId && started.finish == 0)
                    started.finish = finish;
        }
    }
    return runs;
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
    return log;
}
