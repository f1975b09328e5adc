#include "app/command_line.h"

namespace {

bool IsBlank(unsigned char byte)
{
    return byte >= 0x01 && byte <= 0x20;
}

}  // namespace

const char* FindCommandLineTail(const char* commandLine)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    bool quoted = false;
    for (; *p != 0; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(*p))
            break;
    }
    while (IsBlank(*p))
        ++p;
    return reinterpret_cast<const char*>(p);
}

FirstArgumentResult ExtractFirstArgument(const char* source, char* target, size_t targetSize)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
    if (*p == 0 || targetSize == 0)
        return FIRST_ARGUMENT_OK;

    bool started = false;
    bool quoted = false;
    size_t length = 0;
    for (; *p != 0; ++p) {
        if (!started) {
            if (IsBlank(*p))
                continue;
            started = true;
            if (*p == '"') {
                quoted = true;
                continue;
            }
        } else if (IsBlank(*p) ? !quoted : (*p == '"' && quoted)) {
            break;
        }
        if (length + 1 >= targetSize) {
            target[0] = '\0';
            return FIRST_ARGUMENT_TOO_LONG;
        }
        target[length++] = static_cast<char>(*p);
    }
    target[length] = '\0';
    return FIRST_ARGUMENT_OK;
}
