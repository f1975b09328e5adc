// Reading the program's command line: the tail after the program's own name,
// and the first argument of that tail, which names the target.
#pragma once

#include <stddef.h>

// The tail of a full process command line: the program's own name removed (a
// double-quoted stretch belongs to the name, so a quoted program path may hold
// blanks), then every following byte from 0x01 to 0x20. Bytes are compared as
// unsigned values, so a program path with double-byte text is read whole.
const char* FindCommandLineTail(const char* commandLine);

enum FirstArgumentResult {
    FIRST_ARGUMENT_OK = 0,
    // The argument does not fit the target buffer. The target is left empty
    // rather than cut: a cut path can name a different, existing file.
    FIRST_ARGUMENT_TOO_LONG = 1,
};

// Copies the first argument of source into target: blanks (0x01-0x20) before
// it are skipped; a double quote opens a quoted argument that ends at the next
// double quote or at the end of the text; an unquoted argument ends at a blank
// and keeps any double quote inside it. There are no escape characters, and
// bytes above 0x7F are ordinary bytes. An empty source leaves target unchanged.
FirstArgumentResult ExtractFirstArgument(const char* source, char* target, size_t targetSize);

// The same two rules over the platform's wide (UTF-16) command line, unit for
// unit, so that the argument each form gives can be compared.
const wchar_t* FindWideCommandLineTail(const wchar_t* commandLine);
FirstArgumentResult ExtractWideFirstArgument(const wchar_t* source, wchar_t* target,
                                             size_t targetSize);
