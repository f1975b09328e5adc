#include "tests/support/crt_split.h"

namespace {

bool IsSpaceOrTab(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitLikeCRuntime(const std::string& line, const LeadByteRule& rule)
{
    std::vector<std::string> arguments;
    size_t i = 0;
    const size_t n = line.size();

    // The program name: up to the closing quote if quoted, else up to a blank;
    // backslashes have no special meaning in it.
    std::string program;
    if (i < n && line[i] == '"') {
        ++i;
        while (i < n && line[i] != '"')
            program += line[i++];
        if (i < n)
            ++i;
    } else {
        while (i < n && !IsSpaceOrTab(line[i]))
            program += line[i++];
    }
    arguments.push_back(program);

    for (;;) {
        while (i < n && IsSpaceOrTab(line[i]))
            ++i;
        if (i >= n)
            break;
        std::string argument;
        bool quoted = false;
        while (i < n) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (IsLeadByte(rule, c) && i + 1 < n) {
                argument += line[i];
                argument += line[i + 1];
                i += 2;
                continue;
            }
            if (c == '\\') {
                size_t run = 0;
                while (i < n && line[i] == '\\') {
                    ++run;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    argument.append(run / 2, '\\');
                    if (run % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(run, '\\');
                }
                continue;
            }
            if (c == '"') {
                ++i;
                if (quoted && i < n && line[i] == '"') {
                    argument += '"';  // "" inside quotes is one literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            if (!quoted && IsSpaceOrTab(line[i]))
                break;
            argument += line[i++];
        }
        arguments.push_back(argument);
    }
    return arguments;
}
