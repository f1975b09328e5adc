// Splits a command line into arguments the way the C runtime (and
// CommandLineToArgvW) does for a program that receives it: the tool that
// runs each composed command sees exactly these arguments. Works on code
// page 932 bytes: a double-byte character is one unit, so its trail byte is
// never taken for a backslash or a quote.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> SplitLikeCRuntime(const std::string& commandLine);
