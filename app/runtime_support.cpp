// The few C runtime routines that the program, and the code the compiler
// writes for it, call: structure zeroing and copies, string length and byte
// search, and the stack guard with the routine that stops the process when a
// guard is found changed. The exe links no C runtime at all (it has an entry
// point of its own and no heap), so these come from here rather than from a
// runtime DLL.
//
// This file is built with -fno-tree-loop-distribute-patterns: otherwise the
// compiler would recognise the loops below as memset and memcpy and turn them
// into calls to themselves.
#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>

#include "app/runtime_support.h"
#endif

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

#ifdef _WIN32

// The value that every protected function keeps beside its return address
// and compares before it returns. SeedStackGuard sets it at the entry, so it
// needs no initial value and lives in .bss; a .data section of its own would
// cost a whole file section. (The names here are the compiler's: its stack
// protector reads and calls them.)
uintptr_t __stack_chk_guard;  // NOLINT(bugprone-reserved-identifier)

// Where the fail-fast interrupt arrives as an ordinary exception, ends the
// process before any handler on the damaged stack can resume it.
static LONG WINAPI EndOnAnyException(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    return EXCEPTION_CONTINUE_SEARCH;
}

// A protected function found its copy of the guard changed: a buffer on the
// stack was overrun and the return address beside it may have been
// overwritten. Nothing on this stack can be trusted, so the process ends here
// and now: no box, no unwinding, no further step. Fail-fast (Windows 8 on)
// ends it in the kernel, past every handler, and reports it to Windows Error
// Reporting; where the system has none, TerminateProcess ends it with the
// same code. Both lookups are made at run time, as NT 4.0's kernel32 may lack
// them. Wine's 32-bit ntdll says it has fail-fast, yet raises the interrupt
// as an access violation that a handler up the stack may catch and resume
// from (the window procedure's caller does); a vectored handler, which runs
// before all others, ends the process there as well.
[[noreturn]] __attribute__((no_stack_protector)) void
__stack_chk_fail()  // NOLINT(bugprone-reserved-identifier)
{
    typedef BOOL(WINAPI * IsProcessorFeaturePresentFunction)(DWORD);
    typedef PVOID(WINAPI * AddVectoredExceptionHandlerFunction)(ULONG, PVECTORED_EXCEPTION_HANDLER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isFeaturePresent = reinterpret_cast<IsProcessorFeaturePresentFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsProcessorFeaturePresent")));
    if (isFeaturePresent != nullptr && isFeaturePresent(PF_FASTFAIL_AVAILABLE)) {
        auto addHandler = reinterpret_cast<AddVectoredExceptionHandlerFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "AddVectoredExceptionHandler")));
        if (addHandler != nullptr)
            addHandler(1, EndOnAnyException);
        __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    }
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

}  // extern "C"

// Not itself protected: it changes the guard that a protected function would
// compare on its way out. The values are mixed as the platform's compilers
// mix theirs: the time, the process and thread, the tick count, the
// performance counter and where the stack lies (ASLR places it anew on every
// start), so that the guard differs from run to run and from process to
// process and cannot be read off the exe.
__attribute__((no_stack_protector)) void SeedStackGuard()
{
    FILETIME systemTime;
    GetSystemTimeAsFileTime(&systemTime);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t mixed =
        (static_cast<uint64_t>(systemTime.dwHighDateTime) << 32) | systemTime.dwLowDateTime;
    mixed ^= static_cast<uint64_t>(counter.QuadPart);
    mixed ^= (static_cast<uint64_t>(GetCurrentProcessId()) << 32) | GetCurrentThreadId();
    mixed ^= static_cast<uint64_t>(GetTickCount()) << 16;
    mixed ^= reinterpret_cast<uintptr_t>(&counter);
    uintptr_t guard = sizeof guard == sizeof mixed ? static_cast<uintptr_t>(mixed)
                                                   : static_cast<uintptr_t>(mixed ^ (mixed >> 32));
    // Never zero: that is the guard before it is seeded, and the easiest
    // value for a string copy to forge.
    __stack_chk_guard = guard != 0 ? guard : 0x2B992DDFu;
}

#else

}  // extern "C"

#endif
