// The one door to the screen for text. The program's own texts are code page
// 932 bytes on every system; paths and user names are bytes of the system's
// ANSI code page, which may be any other (1252 on an English Windows, 65001
// with the UTF-8 setting). Each is widened here by its own code page, so that
// a box or a caption reads as written whatever the ANSI code page is: handed
// to an ANSI call, the program's texts would be read in the ANSI code page
// and show as ? or mojibake.
#pragma once

#include <windows.h>

#include <stddef.h>

// Append text widened into buffer (size units) at *length, keeping it
// terminated; false, with *length unchanged, when it does not fit whole.
// AppendOwnText takes the program's own text, AppendSystemText a path or a
// name. A system without the tables of code page 932 has no Japanese font
// either: there the program's texts are read as the ANSI code page's, as any
// ANSI call would read them.
bool AppendOwnText(wchar_t* buffer, size_t size, size_t* length, const char* text);
bool AppendSystemText(wchar_t* buffer, size_t size, size_t* length, const char* text);

// A message box with one OK button, owned by owner (or none): systemText (a
// path, or nullptr for none) followed directly by ownText, under ownCaption.
void ShowMessage(HWND owner, const char* systemText, const char* ownText, const char* ownCaption,
                 UINT style);
