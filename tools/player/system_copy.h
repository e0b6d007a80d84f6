// The system's own copy of a library that a plug-in loader is named after. Whoever imports that
// name in the game's process gets the game folder's file instead, the system's other libraries
// included, so a loader under that name must export every function the system's copy exports;
// and a file that is the system's copy itself, byte for byte, is no loader at all.
#pragma once

#include <string>
#include <vector>

#include "binary_reader/pe_layout.h"

struct SystemCopy {
  std::string whyNotRead;   // empty when its exports were read; else why not, as a clause
  std::string shownFolder;  // the system folder, as shown
  std::string bytes;        // the file's bytes, when read, even when they do not read as an image
  std::vector<std::string> functions;  // the names its export table lists, when read
};

// The system folder's copy of the library `name`.
SystemCopy ReadSystemCopy(const std::string& name);

// The names an export table lists, in its order, as written (made printable only when shown);
// nothing when the image has no export table. A name table that leads outside the image ends the
// list where it does.
std::vector<std::string> ExportedNames(const PeLayout& layout);
