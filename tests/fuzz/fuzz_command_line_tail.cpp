// FindCommandLineTail (and its wide form) against a reading of the rule that decides "quoted" by
// counting the double quotes before a byte instead of toggling a flag.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/command_line.h"

namespace {

bool IsBlank(char byte)
{
    unsigned char value = static_cast<unsigned char>(byte);
    return value >= 0x01 && value <= 0x20;
}

// Offset of the tail: the name ends at the first blank with an even number of
// double quotes before it; the blanks after it are skipped.
size_t ReferenceTailOffset(const std::string& line)
{
    size_t quotesBefore = 0;
    size_t nameEnd = line.size();
    for (size_t i = 0; i < line.size(); ++i) {
        if (IsBlank(line[i]) && quotesBefore % 2 == 0) {
            nameEnd = i;
            break;
        }
        if (line[i] == '"')
            ++quotesBefore;
    }
    size_t tail = nameEnd;
    while (tail < line.size() && IsBlank(line[tail]))
        ++tail;
    return tail;
}

// A byte as a UTF-16 unit: ASCII as itself, anything above 0x7F moved above
// 0xFF, where non-ASCII text is, so that no such unit can pass for a blank.
wchar_t WidenedUnit(char byte)
{
    unsigned char value = static_cast<unsigned char>(byte);
    return static_cast<wchar_t>(value < 0x80 ? value : 0xAC00 + value);
}

void PrintBytes(const char* label, const void* bytes, size_t size)
{
    fprintf(stderr, "%s (%zu bytes):", label, size);
    for (size_t i = 0; i < size; ++i)
        fprintf(stderr, " %02X", static_cast<const unsigned char*>(bytes)[i]);
    fprintf(stderr, "\n");
}

[[noreturn]] void Fail(const char* what, const std::string& line, long offset, size_t expected)
{
    fprintf(stderr, "FindCommandLineTail: %s (tail at offset %ld, expected %zu)\n", what, offset,
            expected);
    PrintBytes("command line", line.data(), line.size());
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exactly sized copy: a read past the terminator is caught by
    // AddressSanitizer. The command line ends at the first zero byte.
    char* bytes = new char[size + 1];
    if (size > 0)
        memcpy(bytes, data, size);
    bytes[size] = '\0';
    const std::string line(bytes);

    const char* tail = FindCommandLineTail(bytes);
    const size_t expected = ReferenceTailOffset(line);

    // Compared as addresses only after the range check, so a stray pointer is
    // reported instead of dereferenced.
    uintptr_t start = reinterpret_cast<uintptr_t>(bytes);
    uintptr_t at = reinterpret_cast<uintptr_t>(tail);
    if (at < start || at > start + line.size())
        Fail("points outside the command line", line, static_cast<long>(at - start), expected);
    size_t offset = at - start;
    if (*tail != '\0' && !(static_cast<unsigned char>(*tail) > 0x20))
        Fail("starts with a blank", line, static_cast<long>(offset), expected);
    if (offset != expected)
        Fail("differs from the reference reading", line, static_cast<long>(offset), expected);

    // The wide form reads the same line, each byte widened, to the same unit.
    wchar_t* wide = new wchar_t[line.size() + 1];
    for (size_t i = 0; i <= line.size(); ++i)
        wide[i] = WidenedUnit(bytes[i]);
    const wchar_t* wideTail = FindWideCommandLineTail(wide);
    if (wideTail < wide || wideTail > wide + line.size() ||
        static_cast<size_t>(wideTail - wide) != offset)
        Fail("the wide form differs", line, static_cast<long>(wideTail - wide), expected);
    delete[] wide;

    delete[] bytes;
    return 0;
}
