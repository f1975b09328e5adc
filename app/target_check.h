// The target, resolved and checked against what the user gave, before the
// dialog acts on it.
#pragma once

// Resolves g_app.targetPath and returns the text of the warning that refuses
// it, or nullptr when it may be acted on. The program reads its command line
// and the open-file dialog's answer in the ANSI code page, where a character
// that page lacks becomes ? or a look-alike ("best fit": é becomes e); the
// path is refused unless it reads back as exactly the wide form the user
// gave, and when it holds a wildcard.
const char* ResolveCheckedTarget();

// True when path names a file that exists, not a folder. The subdirectories
// choice means nothing for such a target: cacls would take the file's name
// as a pattern and walk every folder below the file's own, changing every
// file of that name there.
bool IsExistingFile(const char* path);

// True when path names a folder that exists, a drive root included: the one
// kind of target whose tree the subdirectories choice walks. cacls takes the
// last name of any other target as a pattern for /T, and a name that names
// nothing (deleted or renamed while the dialog was open, or mistyped) would
// change every item of that name in the folders below its parent.
bool IsExistingFolder(const char* path);
