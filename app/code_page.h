// The rules of code page 932 text that the program needs: where a
// double-byte character starts, so that its trail byte (which may equal a
// backslash, as in 表, 0x95 0x5C) is never read as a character of its own.
#pragma once

bool IsCp932LeadByte(unsigned char byte);

// True when the text ends in a lead byte with no trail byte after it. Any
// byte written after such text would be read as its trail byte: a closing
// quote would vanish into it and the arguments around it run together.
bool EndsInIncompleteCharacter(const char* text);
