#include "app/text_buffer.h"

#include <string.h>

bool AppendText(char* buffer, size_t size, size_t* length, const char* text)
{
    size_t textLength = strlen(text);
    if (*length >= size || textLength >= size - *length)
        return false;
    memcpy(buffer + *length, text, textLength + 1);
    *length += textLength;
    return true;
}

bool CopyText(char* buffer, size_t size, const char* text)
{
    size_t length = 0;
    if (size > 0)
        buffer[0] = '\0';
    return AppendText(buffer, size, &length, text);
}
