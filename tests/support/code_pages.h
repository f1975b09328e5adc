// The rule of where a character starts in each ANSI code page the tests use,
// made as the program makes it: from the lead-byte ranges that Windows
// reports for the page (GetCPInfo).
#pragma once

#include "app/code_page.h"

namespace test_code_pages {

// Japanese: the program's own texts are in it, and on a Japanese Windows
// paths and names too.
inline LeadByteRule Cp932()
{
    const unsigned char ranges[kLeadByteRangesSize] = {0x81, 0x9F, 0xE0, 0xFC};
    return MakeLeadByteRule(932, ranges);
}

// Simplified Chinese (GBK): trail bytes 0x40-0xFE, so 0x5C is one after any
// lead byte, 0xA0-0xDF among them, which 932 takes for whole characters.
inline LeadByteRule Cp936()
{
    const unsigned char ranges[kLeadByteRangesSize] = {0x81, 0xFE};
    return MakeLeadByteRule(936, ranges);
}

// Korean: trail bytes from 0x41, so never a backslash.
inline LeadByteRule Cp949()
{
    const unsigned char ranges[kLeadByteRangesSize] = {0x81, 0xFE};
    return MakeLeadByteRule(949, ranges);
}

// Traditional Chinese (Big5): trail bytes 0x40-0x7E and 0xA1-0xFE.
inline LeadByteRule Cp950()
{
    const unsigned char ranges[kLeadByteRangesSize] = {0x81, 0xFE};
    return MakeLeadByteRule(950, ranges);
}

// Western European, as on an English Windows: every byte a character.
inline LeadByteRule Cp1252()
{
    return MakeLeadByteRule(1252, nullptr);
}

// Windows' UTF-8 setting. Windows reports no lead bytes for it; the rule
// holds none even where a system reported some.
inline LeadByteRule Utf8()
{
    const unsigned char none[kLeadByteRangesSize] = {};
    return MakeLeadByteRule(kUtf8CodePage, none);
}

}  // namespace test_code_pages
