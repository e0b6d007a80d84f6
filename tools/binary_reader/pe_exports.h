// Finding one function in a library's export table as the loader finds it when it binds an
// import: by name, first at the name table's entry the importer's hint names, then by a binary
// search of the name table (which must be sorted for it to succeed); the name's entry in the
// ordinal table gives its index in the address table, which holds either the function's address
// or, when that address lies inside the export table itself, a forwarder: the text
// "LIBRARY.Function" or "LIBRARY.#ordinal" naming where the function really is. Only the
// entries the loader reads are read, so damage the loader never meets is never reported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "binary_reader/pe_layout.h"

// Where an exported function led.
struct PeExportTarget {
  enum class Kind {
    kAddress,    // the function is at rva in this library
    kForwarder,  // the function is where forwarder says
    kMissing,    // the library does not export it: the loader refuses the import
    kDamaged,    // the loader fails (reads outside the image) while looking it up
  };
  Kind kind = Kind::kMissing;
  std::uint32_t rva = 0;
  std::string forwarder;
  std::string problem;  // for kDamaged, about the exporting file as "it"
};

// The function exported under `name`, looking at the name table's entry `hint` first when
// there is one. A library without an export table exports nothing.
PeExportTarget FindExport(const PeLayout& library, const std::string& name,
                          std::optional<std::uint32_t> hint);

// The function exported under `ordinal`, counted from the export table's first ordinal as an
// importer counts it.
PeExportTarget FindExportByOrdinal(const PeLayout& library, std::uint32_t ordinal);

// A forwarder taken apart as the loader takes it apart: the library is the text before the last
// dot, with ".dll" added when it has no dot of its own; after that dot, "#" and a number is an
// ordinal, anything else a name.
struct PeForwarder {
  std::string library;
  std::string function;                  // empty when by ordinal
  std::optional<std::uint32_t> ordinal;  // as written, counted as FindExportByOrdinal counts
};

// Nothing when the text has no dot, which the loader cannot follow.
std::optional<PeForwarder> ParseForwarder(const std::string& text);

// The function at `index` of the address table (0 is the first ordinal).
PeExportTarget FindExportAtIndex(const PeLayout& library, std::uint32_t index);
