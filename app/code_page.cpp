#include "app/code_page.h"

LeadByteRule MakeLeadByteRule(unsigned codePage, const unsigned char* reportedRanges)
{
    LeadByteRule rule = {};
    if (codePage == kUtf8CodePage || reportedRanges == nullptr)
        return rule;
    // Only whole pairs before the first pair of zeros count; the last pair
    // stays zero, so every rule ends in one.
    for (size_t i = 0; i + 3 < kLeadByteRangesSize; i += 2) {
        if (reportedRanges[i] == 0 && reportedRanges[i + 1] == 0)
            break;
        rule.ranges[i] = reportedRanges[i];
        rule.ranges[i + 1] = reportedRanges[i + 1];
    }
    return rule;
}

bool IsLeadByte(const LeadByteRule& rule, unsigned char byte)
{
    for (size_t i = 0; i + 1 < kLeadByteRangesSize; i += 2) {
        if (rule.ranges[i] == 0 && rule.ranges[i + 1] == 0)
            return false;
        if (byte >= rule.ranges[i] && byte <= rule.ranges[i + 1])
            return true;
    }
    return false;
}

bool EndsInIncompleteCharacter(const char* text, const LeadByteRule& rule)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        if (IsLeadByte(rule, *p)) {
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
