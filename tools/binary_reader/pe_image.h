// Reading a 64-bit Windows library or program (a PE32+ image) that a player handed us: what it
// is and which functions it imports from which libraries, read from the image as the loader
// lays it out (pe_layout.h) and walked as the loader walks it, so that a file the loader would
// stop on gives one plain sentence saying what is wrong, never a crash or a hang. Its exports
// are followed one function at a time, as the loader follows them (pe_exports.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "binary_reader/pe_layout.h"

// One function imported from a library: by name, or by ordinal when the name is empty.
struct PeImport {
  std::string name;
  std::uint16_t ordinal = 0;
  std::uint16_t hint = 0;  // with a name: where the loader first looks for it in the exports
};

// A library the image imports from, with the functions it takes from it.
struct PeImportedLibrary {
  std::string name;  // as the file spells it, e.g. "KERNEL32.dll"
  std::vector<PeImport> functions;
};

// What the reader found in a 64-bit image.
struct PeImage {
  bool isDll = false;                      // a library rather than a program
  std::vector<PeImportedLibrary> imports;  // in the order of the import table
  std::shared_ptr<const PeLayout> layout;  // the image as loaded, to follow its exports in
};

// The outcome of reading a file: the image, and what stopped the reading, if anything.
struct PeReading {
  PeImage image;        // complete only when problem is empty
  std::string problem;  // e.g. "it is cut short: ..."; empty when the whole file read cleanly
};

// Reads a file's bytes as a 64-bit PE image. The problem sentence describes the file as "it"
// and needs no file name; the first problem found ends the reading.
PeReading ReadPeImage(std::span<const std::uint8_t> file);
