// The program's probe: the shipped sources, built with the shipped flags,
// with one thing added where each step of an Apply runs. The link wraps
// RunHidden (--wrap), so every step passes through __wrap__Z9RunHiddenPc
// first and then runs as in the shipped exe. What the probe does is chosen by
// the tests through the environment (QUORVEL_PROBE), and what it finds is
// written, a line at a time, to the file QUORVEL_PROBE_LOG names:
//
//   guard HEX                at the first step: the stack guard the entry set
//   walk-from-start FRAMES OURS UNLISTED END
//   walk-from-step FRAMES OURS UNLISTED END
//                            (64-bit, QUORVEL_PROBE=walk) a walk of the stack
//                            by the exception directory, from the start of the
//                            dialog and from the first step: frames walked,
//                            frames in the program, frames in the program with
//                            no unwind data, and where the walk ended (1 at
//                            the program's entry, 2 at the system's callback
//                            dispatcher, 0 elsewhere)
//   frames HEX...            after each walk, its frames: the address in the
//                            program as an offset from its base, 0 elsewhere
//   overrun                  (QUORVEL_PROBE=overrun) the second step overruns
//                            a stack buffer instead of running; the guard
//                            must end the process there
//
// With QUORVEL_PROBE=old-dll-search the probe runs as on a Windows without
// SetDefaultDllDirectories (Vista and 7 without their 2011 update, XP): the
// link wraps LoadedSystemFunction, which then finds no such function, so the
// entry narrows the DLL search the older way.
//
// The link also wraps the import of MsgWaitForMultipleObjects, the wait that
// keeps the dialog answering while a step runs. Every wake mask the program
// hands it is written once, with the version the system reports:
//
//   version MAJOR.MINOR      at the first wait: what GetVersion answers
//   wait HEX                 the first call with this mask
//   refused HEX              (QUORVEL_PROBE=old-wait) a call the stand-in
//                            refused
//
// With QUORVEL_PROBE=old-wait the wait stands in for an older user32 that
// refuses, as an invalid parameter, any bit outside NT 4.0's QS_ALLINPUT.
#include <windows.h>

#include <stdint.h>
#include <string.h>

extern "C" void ProgramEntry();
extern "C" uintptr_t __stack_chk_guard;

namespace {

int g_stepsSeen;
// Read at run time, so that the compiler cannot see how far the copy goes.
volatile int g_overrunLength = 64;

void AppendToLog(const char* line)
{
    char path[MAX_PATH];
    DWORD pathLength = GetEnvironmentVariableA("QUORVEL_PROBE_LOG", path, sizeof path);
    if (pathLength == 0 || pathLength >= sizeof path)
        return;
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
    CloseHandle(log);
}

// Appends a blank and value, in hexadecimal or in decimal, to line at *end.
void AppendNumber(char* line, int* end, uint64_t value, bool hexadecimal)
{
    char digits[20];
    int count = 0;
    unsigned base = hexadecimal ? 16 : 10;
    do {
        digits[count++] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0);
    line[(*end)++] = ' ';
    while (count > 0)
        line[(*end)++] = digits[--count];
    line[*end] = '\0';
}

// word (at most 15 characters), then at most 64 numbers.
void RecordLine(const char* word, const uint64_t* values, int count, bool hexadecimal)
{
    // Room for the word and 64 numbers of 16 digits, each after a blank.
    char line[16 + 64 * 17 + 1];
    int end = 0;
    while (word[end] != '\0') {
        line[end] = word[end];
        ++end;
    }
    line[end] = '\0';
    for (int i = 0; i < count; ++i)
        AppendNumber(line, &end, values[i], hexadecimal);
    AppendToLog(line);
}

bool ProbeIs(const char* mode)
{
    char value[16];
    DWORD length = GetEnvironmentVariableA("QUORVEL_PROBE", value, sizeof value);
    if (length == 0 || length >= sizeof value)
        return false;
    for (DWORD i = 0; i <= length; ++i) {
        if (value[i] != mode[i])
            return false;
    }
    return true;
}

#ifdef _WIN64
enum WalkEnd : uint64_t { WALK_LOST = 0, WALK_AT_ENTRY = 1, WALK_AT_CALLBACK = 2 };

// Walks the stack from its caller to its end as Windows does to dispatch an
// exception: each frame of a function with unwind data is undone by that
// data, and a frame without is taken for a leaf's (the return address at
// the stack pointer), which is only right if the function is a leaf. The
// walk ends at the program's entry, or where the system called a window
// procedure back from the kernel (ntdll's KiUserCallbackDispatcher): Wine
// 8.0 keeps no way from that frame to the caller of the system call, so no
// walk under it can go further; Windows unwinds through it.
__attribute__((noinline)) void RecordStackWalk(const char* from)
{
    auto image = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    uintptr_t imageEnd = image + nt->OptionalHeader.SizeOfImage;
    auto entry = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&ProgramEntry) - image);
    auto callbackDispatcher = reinterpret_cast<uintptr_t>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "KiUserCallbackDispatcher"));

    CONTEXT context;
    RtlCaptureContext(&context);
    uint64_t frames = 0, ours = 0, unlisted = 0, end = WALK_LOST;
    uint64_t addresses[64];
    while (context.Rip != 0 && frames < 64) {
        bool inProgram = context.Rip >= image && context.Rip < imageEnd;
        addresses[frames++] = inProgram ? context.Rip - image : 0;
        ours += inProgram ? 1 : 0;
        DWORD64 moduleBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &moduleBase, nullptr);
        if (function == nullptr) {
            unlisted += inProgram ? 1 : 0;
            context.Rip = *reinterpret_cast<DWORD64*>(context.Rsp);
            context.Rsp += 8;
            continue;
        }
        if (inProgram && function->BeginAddress == entry) {
            end = WALK_AT_ENTRY;
            break;
        }
        if (moduleBase + function->BeginAddress == callbackDispatcher) {
            end = WALK_AT_CALLBACK;
            break;
        }
        void* handlerData = nullptr;
        DWORD64 establisherFrame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, moduleBase, context.Rip, function, &context,
                         &handlerData, &establisherFrame, nullptr);
    }
    const uint64_t values[] = {frames, ours, unlisted, end};
    RecordLine(from, values, 4, false);
    RecordLine("frames", addresses, static_cast<int>(frames), true);
}
#endif

// A protected function (it keeps an array on its stack) that writes past its
// array, over the guard beside it and what lies beyond.
__attribute__((noinline)) void OverrunStackBuffer()
{
    char buffer[16];
    for (int i = 0; i < g_overrunLength; ++i)
        buffer[i] = 'x';
    // Keeps the writes from being dropped as dead.
    __asm__ volatile("" : : "r"(buffer) : "memory");
}

}  // namespace

extern "C" DWORD __real__Z9RunHiddenPc(char* commandLine);

extern "C" DWORD __wrap__Z9RunHiddenPc(char* commandLine)
{
    ++g_stepsSeen;
    if (g_stepsSeen == 1) {
        const uint64_t guard = __stack_chk_guard;
        RecordLine("guard", &guard, 1, true);
#ifdef _WIN64
        if (ProbeIs("walk"))
            RecordStackWalk("walk-from-step");
#endif
    }
    if (g_stepsSeen == 2 && ProbeIs("overrun")) {
        RecordLine("overrun", nullptr, 0, false);
        OverrunStackBuffer();
    }
    return __real__Z9RunHiddenPc(commandLine);
}

extern "C" void* __real__Z20LoadedSystemFunctionPKcS0_(const char* module, const char* name);

extern "C" void* __wrap__Z20LoadedSystemFunctionPKcS0_(const char* module, const char* name)
{
    // No C runtime here: compared by hand.
    const char wanted[] = "SetDefaultDllDirectories";
    size_t same = 0;
    while (same < sizeof wanted && name[same] == wanted[same])
        ++same;
    if (same == sizeof wanted && ProbeIs("old-dll-search"))
        return nullptr;
    return __real__Z20LoadedSystemFunctionPKcS0_(module, name);
}

#ifdef _WIN64
// The frames under the dialog, which a walk from a step cannot reach under
// Wine: the entry calls the common controls' initialisation directly before
// it opens the dialog. The link wraps that import's address (the pointer
// the call goes through), so the call comes here first.
extern "C" void (*__real___imp_InitCommonControls)();

extern "C" void WalkFromStart()
{
    if (ProbeIs("walk"))
        RecordStackWalk("walk-from-start");
    __real___imp_InitCommonControls();
}

extern "C" {
void (*__wrap___imp_InitCommonControls)() = WalkFromStart;
}
#endif

namespace {

typedef DWORD(WINAPI* MsgWaitFunction)(DWORD, const HANDLE*, BOOL, DWORD, DWORD);

const DWORD kNt4Input = 0x00FF;
// The masks written already, so that a wait woken a thousand times is
// written once.
DWORD g_masksSeen[8];
int g_maskCount;

bool FirstTimeSeen(DWORD mask)
{
    for (int i = 0; i < g_maskCount; ++i) {
        if (g_masksSeen[i] == mask)
            return false;
    }
    if (g_maskCount < 8)
        g_masksSeen[g_maskCount++] = mask;
    return true;
}

}  // namespace

// The import's address, which every call goes through; the link points the
// program's references at the wrapper's, and the wrapper calls on through
// the real one. A 32-bit link names C symbols without their leading
// underscore, so there the import __imp__MsgWaitForMultipleObjects@20 is
// wrapped as _imp__MsgWaitForMultipleObjects@20.
#ifdef _WIN64
#define QUORVEL_MSG_WAIT_REAL "__real___imp_MsgWaitForMultipleObjects"
#define QUORVEL_MSG_WAIT_WRAP "__wrap___imp_MsgWaitForMultipleObjects"
#else
#define QUORVEL_MSG_WAIT_REAL "___real__imp__MsgWaitForMultipleObjects@20"
#define QUORVEL_MSG_WAIT_WRAP "___wrap__imp__MsgWaitForMultipleObjects@20"
#endif
extern "C" MsgWaitFunction g_realMsgWait __asm__(QUORVEL_MSG_WAIT_REAL);

extern "C" DWORD WINAPI RecordingMsgWait(DWORD count, const HANDLE* handles, BOOL waitAll,
                                         DWORD milliseconds, DWORD wakeMask)
{
    if (g_maskCount == 0) {
        DWORD version = GetVersion();
        const uint64_t values[] = {version & 0xFF, (version >> 8) & 0xFF};
        RecordLine("version", values, 2, false);
    }
    const uint64_t mask = wakeMask;
    if (ProbeIs("old-wait") && (wakeMask & ~kNt4Input) != 0) {
        if (FirstTimeSeen(wakeMask | 0x80000000u))
            RecordLine("refused", &mask, 1, true);
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    if (FirstTimeSeen(wakeMask))
        RecordLine("wait", &mask, 1, true);
    return g_realMsgWait(count, handles, waitAll, milliseconds, wakeMask);
}

extern "C" {
MsgWaitFunction g_wrappedMsgWait __asm__(QUORVEL_MSG_WAIT_WRAP) = RecordingMsgWait;
}
