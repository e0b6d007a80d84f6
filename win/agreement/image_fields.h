// Where the fields that the damage generator changes lie in one of our own built 64-bit
// images (the plug-in or the stand-in host): the headers, the data directories, the section
// table, the export directory with its three arrays, and the import descriptors with their
// lists. Only the build's own, sound images are read here; a layout that does not read cleanly
// is an error of the generator, not a case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace agreement {

struct SectionFields {
  std::string name;
  std::uint64_t header = 0;  // file offset of its 40-byte header
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

struct ExportFields {
  std::uint64_t directory = 0;  // file offset of the 40-byte directory
  std::uint32_t directoryRva = 0;
  std::uint32_t nameRva = 0;  // the library's own name, which no loader reads
  std::string libraryName;    // that name, e.g. "ScriptHookFrontier.dll"
  std::uint32_t base = 0;
  std::uint32_t functionCount = 0;
  std::uint32_t nameCount = 0;
  std::uint32_t functionsRva = 0;
  std::uint32_t namesRva = 0;
  std::uint32_t ordinalsRva = 0;
  std::vector<std::string> names;  // in the order of the name table
};

struct ImportFields {
  std::uint64_t descriptor = 0;  // file offset of its 20-byte descriptor
  std::uint32_t descriptorRva = 0;
  std::string library;
  std::uint32_t lookupRva = 0;         // OriginalFirstThunk
  std::uint32_t nameRva = 0;           // Name
  std::uint32_t addressRva = 0;        // FirstThunk
  std::vector<std::string> functions;  // the names it takes, in list order ("" by ordinal)
};

struct ImageFields {
  std::uint64_t peHeader = 0;        // file offset of "PE\0\0"
  std::uint64_t coffHeader = 0;      // file offset of the COFF header
  std::uint64_t optionalHeader = 0;  // file offset of the optional header
  std::uint16_t optionalSize = 0;
  std::uint64_t sectionTable = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfImage = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint64_t fileSize = 0;
  std::vector<SectionFields> sections;
  std::optional<ExportFields> exports;
  std::vector<ImportFields> imports;  // in the order of the descriptor table

  // File offsets of fields of the optional header and of data directory `index`.
  std::uint64_t Optional(std::uint64_t field) const { return optionalHeader + field; }
  std::uint64_t Directory(unsigned index) const { return optionalHeader + 112 + 8 * index; }
  // The file offset of an RVA that lies in the file's data; throws when it does not.
  std::uint64_t OffsetOf(std::uint32_t rva) const;
  // The RVA at which a file offset inside the headers or a section is loaded.
  std::uint32_t RvaOf(std::uint64_t offset) const;
  // The section holding the RVA; throws when none does.
  const SectionFields& SectionOf(std::uint32_t rva) const;
};

// Reads the layout of a sound image; throws std::runtime_error naming what did not read.
ImageFields ReadImageFields(const std::vector<std::uint8_t>& file);

}  // namespace agreement
