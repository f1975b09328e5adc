// Turns the source text recorded at start-up into the target path.
#pragma once

// Resolves g_app.targetPath from g_app.sourceText: a path chosen in the
// open-file dialog is taken whole, a command-line tail gives its first
// argument. Returns false when that argument is too long for the target path;
// the target path is then empty and must not be acted on.
bool ResolveTargetPath();

// True when path holds * or ?. No file name can hold either, and the tool
// reads both as wildcards, so such a target would change the rights of every
// name it matches. The ? of a leading \\?\ prefix is the one exception.
bool HoldsWildcard(const char* path);

// Shown, with the "エラー" caption, when a target is refused: too long for
// the target path, holding a character the ANSI code page cannot represent
// (it would reach the tool as another name), or holding a wildcard.
extern const char kTargetPathTooLongText[];
extern const char kTargetPathNotInCodePageText[];
extern const char kTargetPathWildcardText[];
