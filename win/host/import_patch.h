// Redirecting one imported function of a loaded module: the entry of its import address table
// is overwritten, so every call the module makes through that import reaches the replacement.
#pragma once

#include <windows.h>

// Points the module's imports of `function` from `library` (matched without regard to case) at
// `replacement`; returns how many table entries were changed (0: the module imports no such
// function, or the table could not be written).
int PatchImport(HMODULE module, const char* library, const char* function, const void* replacement);
