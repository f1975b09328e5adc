// The rules of code page 932 text that the program needs: where a
// double-byte character starts, so that its trail byte (which may equal a
// backslash, as in 表, 0x95 0x5C) is never read as a character of its own.
#pragma once

bool IsCp932LeadByte(unsigned char byte);

// True when the text ends in a lead byte with no trail byte after it. Any
// byte written after such text would be read as its trail byte: a closing
// quote would vanish into it and the arguments around it run together.
bool EndsInIncompleteCharacter(const char* text);

// True when readBack, the ANSI form of a text widened again by the system's
// rule, is exactly the wide text given. The ANSI calls turn a character the
// code page lacks into ? or a look-alike ("best fit": é becomes e), and such
// text may name another file or another account; only this comparison finds
// every loss, WC_NO_BEST_FIT_CHARS being a flag that NT 4.0 does not know.
// AnsiFormReadsBackExactly (app/ansi_read_back.h) does the widening.
bool ReadsBackExactly(const wchar_t* given, const wchar_t* readBack);
