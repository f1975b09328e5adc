// What the dialog checks before it hands an Apply to the applier.
#pragma once

#include <stddef.h>

#include "app/code_page.h"

enum ApplyInputProblem {
    APPLY_INPUT_OK = 0,
    APPLY_INPUT_NAME_EMPTY,
    // The field holds a character the code page lacks: the name read from it
    // is another one, which may be another account's.
    APPLY_INPUT_NAME_NOT_IN_CODE_PAGE,
    // A cut name may name another account, so a name over 254 bytes is refused.
    APPLY_INPUT_NAME_TOO_LONG,
    // No account name and no Windows path holds a double quote; passed on, it
    // would split the tool's arguments and turn one step into another.
    APPLY_INPUT_NAME_HAS_QUOTE,
    APPLY_INPUT_PATH_HAS_QUOTE,
    // The tool reads "name:R" as the account and the right, so a colon in the
    // name would change the right granted. No account name holds one.
    APPLY_INPUT_NAME_HAS_COLON,
    // Text that ends in the lead byte of a double-byte character would take
    // the closing quote written after it as its trail byte.
    APPLY_INPUT_NAME_INCOMPLETE_CHARACTER,
    APPLY_INPUT_PATH_INCOMPLETE_CHARACTER,
};

constexpr size_t kMaxUserNameLength = 254;

// typedNameLength is the length of the whole text in the user field, which
// may exceed what the user-name buffer holds; nameIsExact tells whether the
// name reads back as exactly what the field holds; rule is the ANSI code
// page's, by which both texts are read.
ApplyInputProblem CheckApplyInput(size_t typedNameLength, const char* userName, bool nameIsExact,
                                  const char* targetPath, const LeadByteRule& rule);

// The warning text for a problem; nullptr for APPLY_INPUT_OK.
const char* DescribeApplyInputProblem(ApplyInputProblem problem);
