// Turns the source text recorded at start-up into the target path.
#pragma once

// Resolves g_app.targetPath from g_app.sourceText: a path chosen in the
// open-file dialog is taken whole, a command-line tail gives its first
// argument. Returns false when that argument is too long for the target path;
// the target path is then empty and must not be acted on.
bool ResolveTargetPath();

// Shown, with the "エラー" caption, when ResolveTargetPath refuses the path.
extern const char kTargetPathTooLongText[];
