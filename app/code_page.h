// The rules of text in the system's ANSI code page that the program needs.
// In a double-byte code page (932 Japanese, 936 and 950 Chinese, 949 Korean)
// a lead byte starts a character of two bytes, and its trail byte may equal
// a backslash: 表 is 0x95 0x5C in 932, 腬 is 0xC4 0x5C in 936. Such a trail
// byte is never a character of its own. Each page has lead bytes of its own
// (0xC4 starts 腬 in 936 but is a whole katakana in 932), so the program goes
// by the system's rule for its ANSI code page, never by 932's.
#pragma once

#include <stddef.h>

// As many bytes as the system's report of lead-byte ranges holds (MAX_LEADBYTES).
constexpr size_t kLeadByteRangesSize = 12;
constexpr unsigned kUtf8CodePage = 65001;

struct LeadByteRule {
    // Pairs of first and last lead byte, up to the first pair of zeros; all
    // zero where every byte is a character of its own.
    unsigned char ranges[kLeadByteRangesSize];
};

// The rule of codePage, from the lead-byte ranges the system reports for it
// (kLeadByteRangesSize bytes, or nullptr for none). Under UTF-8 every byte
// counts as itself, whatever is reported: no byte of a multi-byte UTF-8
// character is below 0x80, so none equals a backslash, a quote or any other
// byte the program looks for, and the system never hands over a cut one.
LeadByteRule MakeLeadByteRule(unsigned codePage, const unsigned char* reportedRanges);

bool IsLeadByte(const LeadByteRule& rule, unsigned char byte);

// True when the text ends in a lead byte with no trail byte after it. Any
// byte written after such text would be read as its trail byte: a closing
// quote would vanish into it and the arguments around it run together.
bool EndsInIncompleteCharacter(const char* text, const LeadByteRule& rule);

// True when readBack, the ANSI form of a text widened again by the system's
// rule, is exactly the wide text given. The ANSI calls turn a character the
// code page lacks into ? or a look-alike ("best fit": é becomes e), and such
// text may name another file or another account; only this comparison finds
// every loss, WC_NO_BEST_FIT_CHARS being a flag that NT 4.0 does not know.
// AnsiFormReadsBackExactly (app/ansi_read_back.h) does the widening.
bool ReadsBackExactly(const wchar_t* given, const wchar_t* readBack);
