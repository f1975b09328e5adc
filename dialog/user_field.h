// The user field of the permission dialog and the name it holds. The combo
// box and its edit field are Unicode windows: they keep whatever the user
// typed, pasted or another program set, and the system changes it only when
// the field is read in the ANSI code page, in which the name goes to the tool.
#pragma once

#include <windows.h>

#include <stddef.h>

// Writes the current user's name into g_app.userName, by a name that finds
// the account the program runs as: bare where it does, else qualified by its
// domain. Leaves it empty when the code page cannot hold that name exactly:
// its look-alike may be another account, which must never be proposed.
void ReadCurrentUserName();

// Proposes in the user list, in this order, the groups Administrators,
// Users, Power Users and Everyone, the current user (g_app.userName) and the
// computer's built-in administrator account, each by the name the system
// gives it where the code page holds that name exactly.
void FillUserList(HWND dialog);

// Reads the user field into g_app.userName and returns the length of the
// whole text typed there. *exact tells whether that text reads back as what
// the field holds; a name that does not is never acted on.
size_t ReadUserField(HWND dialog, bool* exact);
