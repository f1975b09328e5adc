#include "dialog/window_title.h"

#include "app/text_buffer.h"
#include "resources/resource.h"

void ComposeWindowTitle(char* title, size_t size, const char* targetPath)
{
    // The target path is at most 263 bytes, so the title always fits whole.
    size_t length = 0;
    if (size > 0)
        title[0] = '\0';
    AppendText(title, size, &length, targetPath);
    AppendText(title, size, &length, " - ");
    AppendText(title, size, &length, QUORVEL_PRODUCT_NAME);
}
