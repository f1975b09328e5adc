// The few C runtime routines that the program, and the code the compiler
// writes for it, call: structure zeroing and copies, string length and byte
// search. The exe links no C runtime at all (it has an entry point of its own
// and no heap), so these come from here rather than from a runtime DLL.
//
// This file is built with -fno-tree-loop-distribute-patterns: otherwise the
// compiler would recognise the loops below as memset and memcpy and turn them
// into calls to themselves.
#include <stddef.h>

// The unit tests build this file under other names, beside the host's own C
// runtime.
#ifndef QUORVEL_RUNTIME_NAME
#define QUORVEL_RUNTIME_NAME(name) name
#endif

extern "C" {

void* QUORVEL_RUNTIME_NAME(memset)(void* destination, int value, size_t count)
{
    unsigned char* out = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(value);
    return destination;
}

// The program never copies between overlapping buffers, and memcpy's contract
// does not allow it; copying forwards is enough.
void* QUORVEL_RUNTIME_NAME(memcpy)(void* destination, const void* source, size_t count)
{
    unsigned char* out = static_cast<unsigned char*>(destination);
    const unsigned char* in = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < count; ++i)
        out[i] = in[i];
    return destination;
}

size_t QUORVEL_RUNTIME_NAME(strlen)(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

// As the C runtime defines it: the terminating zero byte can be found too.
char* QUORVEL_RUNTIME_NAME(strchr)(const char* text, int character)
{
    const char wanted = static_cast<char>(character);
    for (;; ++text) {
        if (*text == wanted)
            return const_cast<char*>(text);
        if (*text == '\0')
            return nullptr;
    }
}

}  // extern "C"
