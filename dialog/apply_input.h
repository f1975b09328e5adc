// What the dialog checks before it hands an Apply to the applier.
#pragma once

#include <stddef.h>

enum ApplyInputProblem {
    APPLY_INPUT_OK = 0,
    APPLY_INPUT_NAME_EMPTY,
    // A cut name may name another account, so a name over 254 bytes is refused.
    APPLY_INPUT_NAME_TOO_LONG,
    // No account name and no Windows path holds a double quote; passed on, it
    // would split the tool's arguments and turn one step into another.
    APPLY_INPUT_NAME_HAS_QUOTE,
    APPLY_INPUT_PATH_HAS_QUOTE,
    // Text that ends in the lead byte of a double-byte character would take
    // the closing quote written after it as its trail byte.
    APPLY_INPUT_NAME_INCOMPLETE_CHARACTER,
    APPLY_INPUT_PATH_INCOMPLETE_CHARACTER,
};

constexpr size_t kMaxUserNameLength = 254;

// typedNameLength is the length of the whole text in the user field, which
// may exceed what the user-name buffer holds.
ApplyInputProblem CheckApplyInput(size_t typedNameLength, const char* userName,
                                  const char* targetPath);

// The warning text for a problem; nullptr for APPLY_INPUT_OK.
const char* DescribeApplyInputProblem(ApplyInputProblem problem);
