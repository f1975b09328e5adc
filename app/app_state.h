// The one process-wide record of the program. Every part reads and writes
// these fixed-size buffers directly; nothing is allocated on the heap and
// nothing is ever freed. The record is static, so every byte is zero at start.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "app/code_page.h"

// Where the source text came from.
enum : int32_t {
    ORIGIN_COMMAND_LINE = 0,
    ORIGIN_OPEN_FILE_DIALOG = 1,
};

// The open-file dialog is told 4 bytes less than the buffer holds, so even a
// misbehaving dialog leaves the buffer terminated.
constexpr size_t kOpenFileBufferSize = 264;
constexpr size_t kOpenFileDialogCapacity = 260;
// At most 263 bytes of path and the terminating zero byte.
constexpr size_t kTargetPathSize = 264;
constexpr size_t kTitleSize = 2048;
// At most 254 bytes of name: the dialog reads the field with a capacity of 255.
constexpr size_t kUserNameSize = 256;
constexpr size_t kUserNameCapacity = 255;
// One command line at a time.
constexpr size_t kCommandBufferSize = 2048;

struct AppState {
    // The open-file dialog answers in UTF-16; openFileBuffer holds its ANSI
    // form, which is checked against this one before it is acted on.
    wchar_t openFileWideBuffer[kOpenFileBufferSize];
    char openFileBuffer[kOpenFileBufferSize];
    const char* sourceText;  // the command-line tail, or openFileBuffer
    int32_t originFlag;
    char targetPath[kTargetPathSize];
    char title[kTitleSize];
    // The caption while an Apply runs, widened: its progress is the program's
    // own text, the rest the title. title stays untouched, to be put back.
    wchar_t progressTitle[kTitleSize];
    char userName[kUserNameSize];
    char commandBuffer[kCommandBufferSize];
    // Where a character starts in the ANSI code page, in which the target
    // path, the user name and the command lines are held.
    LeadByteRule ansiLeadBytes;
};

extern AppState g_app;
