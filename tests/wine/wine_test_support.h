// Shared by the tests that run under Wine: the folder of the binaries under
// test, a private work folder per test, and the stand-in tool's records.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The folder that holds quorvel.exe and the tests. The stand-in cacls.exe is
// in the prefix's system folders, never here.
std::string BinaryFolder();
// A new, empty folder for the running test, under C:\quorvel-tests.
std::string FreshWorkFolder();
std::string ReadFileText(const std::string& path);
// Text of code page 932, as the tests write it, in UTF-16.
std::wstring WidenCp932(const std::string& text);
// Wide text in UTF-8, as the stand-in records it when told to.
std::string Utf8(const std::wstring& text);
void WriteFileText(const std::string& path, const std::string& text);

// Environment that children inherit; "" removes the variable.
void SetVariable(const char* name, const std::string& value);

// One run of the stand-in tool, as it recorded it.
struct ToolRun {
    std::string commandLine;
    std::vector<std::string> arguments;  // after the program name
    std::string directory;
    std::string show;        // "<STARTUPINFO flags> <show state>"
    std::string exe;         // the path of the copy that ran, as it saw it
    std::string bits;        // "32" or "64"
    std::string pathExists;  // "1" when the path argument named something it could see
    unsigned long processId = 0;
    long long start = 0;         // QueryPerformanceCounter ticks
    long long finish = 0;        // 0 while the run has not ended
    unsigned long exitCode = 0;  // the code it ended with, once it has
};
std::vector<ToolRun> ReadToolRuns(const std::string& logPath);
// How many of the runs from the index first on ended with a code other than 0.
size_t CountFailedRuns(const std::vector<ToolRun>& runs, size_t first = 0);
std::vector<std::string> CommandLines(const std::vector<ToolRun>& runs);

// True when this test runs as a 32-bit process on 64-bit Windows.
bool UnderWow64();
// The system folder as this process sees it (under WOW64, redirected).
std::string SystemFolder();
// The system folder as a native program sees it, for writing a file there:
// under WOW64, the Sysnative alias of system32; otherwise system32 itself.
std::string NativeSystemFolder();
// Whether the run was the system's own tool, and the native one: the stand-in
// in the system folder, of the bitness of the Windows the test runs on.
testing::AssertionResult RanTheSystemTool(const ToolRun& run);

// Points the stand-in at a fresh log in folder and clears its failure and
// sleep rules and its log's code page (932 again); returns the log's path.
std::string ResetToolStandIn(const std::string& folder);
