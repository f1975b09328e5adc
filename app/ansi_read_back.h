// The Win32 half of the code page rules (app/code_page.h holds the portable
// half): whether text the program holds in the ANSI code page is what the
// user gave in the wide form.
#pragma once

#include <windows.h>

#include "app/code_page.h"

// True when ansiForm, widened by the system's rule, gives back exactly the
// wide text given: nothing was lost to ? or a look-alike on the way into the
// code page. Text too long for the program's largest read-back buffer never
// reads back.
bool AnsiFormReadsBackExactly(const char* ansiForm, const wchar_t* given);

// The system's rule of where a character starts in its ANSI code page: the
// lead bytes it reports for that page, as IsDBCSLeadByte goes by them.
LeadByteRule AnsiLeadByteRule();
