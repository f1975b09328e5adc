#include "dialog/progress_title.h"

#include "app/text_buffer.h"

namespace {

// Decimal digits of a step number; a negative one is written as 0.
bool AppendNumber(char* buffer, size_t size, size_t* length, int number)
{
    char digits[16];
    char* first = digits + sizeof digits - 1;
    *first = '\0';
    unsigned value = number > 0 ? static_cast<unsigned>(number) : 0u;
    do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return AppendText(buffer, size, length, first);
}

}  // namespace

bool ComposeProgressTitle(char* title, size_t size, int stepNumber, int stepCount,
                          const char* stepName, const char* dialogTitle)
{
    size_t length = 0;
    if (size > 0)
        title[0] = '\0';
    bool fits =
        AppendText(title, size, &length, "[") && AppendNumber(title, size, &length, stepNumber) &&
        AppendText(title, size, &length, "/") && AppendNumber(title, size, &length, stepCount) &&
        AppendText(title, size, &length, " ") && AppendText(title, size, &length, stepName) &&
        AppendText(title, size, &length, "] ") && AppendText(title, size, &length, dialogTitle);
    if (!fits && size > 0)
        title[0] = '\0';
    return fits;
}
