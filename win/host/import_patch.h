// A loaded module's imports from one library, as the loader bound them: redirecting one entry
// of the import address table, and checking that every entry is bound to the function its
// library exports under that name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Points the module's imports of `function` from `library` (matched without regard to case) at
// `replacement`; returns how many table entries were changed (0: the module imports no such
// function, or the table could not be written).
int PatchImport(HMODULE module, const char* library, const char* function, const void* replacement);

// The names the module imports from `library` (matched without regard to case) whose table
// entry is not the address `exporter` exports under that name. Windows refuses to load a module
// with such an import; Wine loads it and binds the import to a stub that fails when called.
std::vector<std::string> UnboundImports(HMODULE module, const char* library, HMODULE exporter);
