// Reading the tables of a 64-bit Windows library or program (a PE32+ image) that a player
// handed us: what it is, which functions it imports from which libraries, which names it
// exports. The file is untrusted: every offset and size is checked against it before a read,
// and every table is walked with an explicit bound, so a damaged, cut, 32-bit or foreign file
// gives one plain sentence saying what is wrong, never a crash or a hang.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One function imported from a library: by name, or by ordinal when the name is empty.
struct PeImport {
  std::string name;
  std::uint16_t ordinal = 0;
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
  std::vector<std::string> exportNames;    // in the order of the export name table
  std::uint32_t firstExportOrdinal = 0;    // ordinals firstExportOrdinal ...
  std::uint32_t exportOrdinalCount = 0;    // ... up to this many are exported
};

// The outcome of reading a file: the image, and what stopped the reading, if anything.
struct PeReading {
  PeImage image;        // complete only when problem is empty
  std::string problem;  // e.g. "it is cut short: ..."; empty when the whole file read cleanly
};

// Reads a file's bytes as a 64-bit PE image. The problem sentence describes the file as "it"
// and needs no file name; the first problem found ends the reading.
PeReading ReadPeImage(std::span<const std::uint8_t> file);
