// Splits a command line into arguments the way the C runtime (and
// CommandLineToArgvW) does for a program that receives it: the tool that
// runs each composed command sees exactly these arguments. Works on the
// bytes of an ANSI code page, read by its rule: a double-byte character is
// one unit, so its trail byte is never taken for a backslash or a quote, as
// it is not once the system has widened the command line for the tool.
#pragma once

#include <string>
#include <vector>

#include "app/code_page.h"

std::vector<std::string> SplitLikeCRuntime(const std::string& commandLine,
                                           const LeadByteRule& rule);
