// Small 64-bit PE images made in memory for the tests of the tools that take such files apart:
// headers and one section holding the import and export tables, laid out as a linker lays them
// out (sections aligned to a page in memory and to 512 bytes in the file), with the file offsets
// of the fields that tests damage on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace holdout_test {

// A library to import from, and the names of the functions taken from it.
struct PeLibrary {
  std::string name;
  std::vector<std::string> functions;
};

// What the image holds.
struct PeContents {
  bool dll = true;
  std::vector<PeLibrary> imports;
  std::vector<std::string> exports;  // in the order of the name table, which the loader
                                     // searches as sorted
  // Exports that are forwarders: export name -> text ("KERNEL32.GetTickCount"), which is kept
  // inside the export table as the loader requires.
  std::map<std::string, std::string> forwards;
  std::string builtName = "Built.dll";  // the name the export table gives the library
  // A version block (VERSIONINFO, as VersionBlock makes it) in a resource tree that leads to it
  // as the system's resource functions walk it; empty: the image has no resources.
  std::vector<std::uint8_t> versionResource;
};

// A version block as windres compiles one: the fixed part with this file version, then a
// string table (US English, Unicode) holding `strings`, key and text, in their order.
std::vector<std::uint8_t> VersionBlock(
    std::uint16_t major, std::uint16_t minor, std::uint16_t patch,
    const std::vector<std::pair<std::string, std::string>>& strings);

// The image, and where its damageable fields are in it.
struct BuiltPe {
  std::vector<std::uint8_t> bytes;
  std::size_t machineOffset = 0;           // COFF header: Machine
  std::size_t sectionCountOffset = 0;      // COFF header: NumberOfSections
  std::size_t magicOffset = 0;             // optional header: Magic
  std::size_t exportDirectoryEntry = 0;    // data directory 0: export table RVA, then size
  std::size_t importDirectoryEntry = 0;    // data directory 1: import table RVA, then size
  std::size_t sectionHeaderOffset = 0;     // the section's header (VirtualSize at +8)
  std::size_t exportDirectoryOffset = 0;   // the export directory itself (0: no exports)
  std::size_t importDescriptorOffset = 0;  // the first import descriptor (0: no imports)
  std::size_t versionBlockOffset = 0;      // the version block (0: no resources)
  std::uint32_t sectionRva = 0;            // the section's address in memory
  std::uint32_t sectionSize = 0;           // its bytes before the padding (its VirtualSize)
  std::uint32_t lastListEndRva = 0;        // the zero entry ending the last import list
  std::vector<std::uint32_t> listRvas;     // each library's list of functions, in import order

  // The file offset of an RVA inside the section.
  std::size_t At(std::uint32_t rva) const { return 0x200 + (rva - sectionRva); }
};

// Lays the image out: headers in the first 0x200 bytes, then the section.
BuiltPe BuildPe(const PeContents& layout);

// Writes a little-endian 16-, 32- or 64-bit value at offset.
void Put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void Put64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value);

}  // namespace holdout_test
