// Shared by the tests that run under Wine: the folder of the binaries under
// test, a private work folder per test, and the stand-in tool's records.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder that holds quorvel.exe, the stand-in cacls.exe and the tests.
std::string BinaryFolder();
// A new, empty folder for the running test, under C:\quorvel-tests.
std::string FreshWorkFolder();
void WriteFileText(const std::string& path, const std::string& text);

// Environment that children inherit; "" removes the variable.
void SetVariable(const char* name, const std::string& value);

// One run of the stand-in tool, as it recorded it.
struct ToolRun {
    std::string commandLine;
    std::vector<std::string> arguments;  // after the program name
    std::string directory;
    std::string show;  // "<STARTUPINFO flags> <show state>"
    unsigned long processId = 0;
    long long start = 0;   // QueryPerformanceCounter ticks
    long long finish = 0;  // 0 while the run has not ended
};
std::vector<ToolRun> ReadToolRuns(const std::string& logPath);
std::vector<std::string> CommandLines(const std::vector<ToolRun>& runs);

// Points the stand-in at a fresh log in folder and clears its failure and
// sleep rules; returns the log's path.
std::string ResetToolStandIn(const std::string& folder);
