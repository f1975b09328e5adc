#include "app/code_page.h"

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool EndsInIncompleteCharacter(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        if (IsCp932LeadByte(*p)) {
            if (p[1] == 0)
                return true;
            p += 2;
        } else {
            ++p;
        }
    }
    return false;
}

bool ReadsBackExactly(const wchar_t* given, const wchar_t* readBack)
{
    while (*given != 0 && *given == *readBack) {
        ++given;
        ++readBack;
    }
    return *given == *readBack;
}
