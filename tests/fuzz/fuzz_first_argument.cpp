// ExtractFirstArgument (and its wide form) against an unbounded reading of
// the same rules, with the target where the program keeps it: a 264-byte
// array between other bytes that must never be touched.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/app_state.h"
#include "app/command_line.h"

namespace {

constexpr size_t kGuardSize = 64;
constexpr unsigned char kGuardByte = 0xA5;
// Neither zero nor a blank, so a byte the scanner wrote is told apart from
// one it left alone.
constexpr unsigned char kStaleByte = 0x5A;

struct GuardedTarget {
    unsigned char before[kGuardSize];
    char target[kTargetPathSize];
    unsigned char after[kGuardSize];
};

bool IsBlank(unsigned char byte)
{
    return byte >= 0x01 && byte <= 0x20;
}

// The first argument with no length limit, read from the rules alone.
std::string ReferenceFirstArgument(const std::string& source)
{
    size_t i = 0;
    while (i < source.size() && IsBlank(static_cast<unsigned char>(source[i])))
        ++i;
    if (i == source.size())
        return std::string();
    if (source[i] == '"') {
        size_t close = source.find('"', i + 1);
        return source.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    }
    size_t end = i;
    while (end < source.size() && !IsBlank(static_cast<unsigned char>(source[end])))
        ++end;
    return source.substr(i, end - i);
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

[[noreturn]] void Fail(const char* what, const std::string& source, const GuardedTarget& guarded)
{
    fprintf(stderr, "ExtractFirstArgument: %s\n", what);
    PrintBytes("source", source.data(), source.size());
    const void* end = memchr(guarded.target, 0, sizeof guarded.target);
    size_t shown = end ? static_cast<const char*>(end) - guarded.target : sizeof guarded.target;
    PrintBytes("target", guarded.target, shown);
    abort();
}

bool AllBytesAre(const unsigned char* bytes, size_t size, unsigned char value)
{
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != value)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exactly sized copy, so that a read past the terminator is caught by
    // AddressSanitizer. The scanner stops at the first zero byte.
    char* sourceBytes = new char[size + 1];
    if (size > 0)
        memcpy(sourceBytes, data, size);
    sourceBytes[size] = '\0';
    const std::string source(sourceBytes);

    static GuardedTarget guarded;
    memset(guarded.before, kGuardByte, sizeof guarded.before);
    memset(guarded.after, kGuardByte, sizeof guarded.after);
    // A stale, terminated string, as a buffer may hold from earlier use.
    memset(guarded.target, kStaleByte, sizeof guarded.target);
    guarded.target[sizeof guarded.target - 1] = '\0';
    char stale[kTargetPathSize];
    memcpy(stale, guarded.target, sizeof stale);

    FirstArgumentResult result =
        ExtractFirstArgument(sourceBytes, guarded.target, sizeof guarded.target);

    if (!AllBytesAre(guarded.before, sizeof guarded.before, kGuardByte) ||
        !AllBytesAre(guarded.after, sizeof guarded.after, kGuardByte))
        Fail("wrote outside the target", source, guarded);
    if (memchr(guarded.target, 0, sizeof guarded.target) == nullptr)
        Fail("left the target unterminated", source, guarded);

    if (source.empty()) {
        if (result != FIRST_ARGUMENT_OK)
            Fail("refused an empty source", source, guarded);
        if (memcmp(guarded.target, stale, sizeof stale) != 0)
            Fail("changed the target for an empty source", source, guarded);
    } else {
        const std::string expected = ReferenceFirstArgument(source);
        if (expected.size() > kTargetPathSize - 1) {
            if (result != FIRST_ARGUMENT_TOO_LONG)
                Fail("accepted an argument longer than 263 bytes", source, guarded);
            if (guarded.target[0] != '\0')
                Fail("left a cut argument in the target", source, guarded);
        } else {
            if (result != FIRST_ARGUMENT_OK)
                Fail("refused an argument that fits", source, guarded);
            if (strlen(guarded.target) != expected.size() ||
                memcmp(guarded.target, expected.data(), expected.size()) != 0)
                Fail("differs from the reference reading", source, guarded);
        }
    }

    // The wide form, given the same text widened unit for unit, gives the
    // same result and the same argument, widened.
    if (!source.empty()) {
        wchar_t* wide = new wchar_t[size + 1];
        for (size_t i = 0; i <= source.size(); ++i)
            wide[i] = WidenedUnit(sourceBytes[i]);
        static wchar_t wideTarget[kTargetPathSize];
        FirstArgumentResult wideResult =
            ExtractWideFirstArgument(wide, wideTarget, kTargetPathSize);
        if (wideResult != result)
            Fail("the wide form gives another result", source, guarded);
        for (size_t i = 0; result == FIRST_ARGUMENT_OK && i <= strlen(guarded.target); ++i)
            if (wideTarget[i] != WidenedUnit(guarded.target[i]))
                Fail("the wide form gives another argument", source, guarded);
        delete[] wide;
    }

    delete[] sourceBytes;
    return 0;
}
