// Reads a built image's layout through CheckedBytes, throwing at the first field that is not
// where a sound image has it.
#include "image_fields.h"

#include <algorithm>
#include <stdexcept>

#include "binary_reader/checked_bytes.h"

namespace agreement {

namespace {

template <typename Value>
Value Need(std::optional<Value> value, const char* what) {
  if (!value) {
    throw std::runtime_error(std::string("the image does not read: ") + what);
  }
  return *value;
}

}  // namespace

std::uint64_t ImageFields::OffsetOf(std::uint32_t rva) const {
  if (rva < sizeOfHeaders) {
    return rva;
  }
  const SectionFields& section = SectionOf(rva);
  if (rva - section.virtualAddress >= section.rawSize) {
    throw std::runtime_error("an RVA outside the file's data");
  }
  return section.rawOffset + (rva - section.virtualAddress);
}

std::uint32_t ImageFields::RvaOf(std::uint64_t offset) const {
  if (offset < sizeOfHeaders) {
    return static_cast<std::uint32_t>(offset);
  }
  for (const SectionFields& section : sections) {
    if (offset >= section.rawOffset && offset - section.rawOffset < section.rawSize) {
      return static_cast<std::uint32_t>(section.virtualAddress + (offset - section.rawOffset));
    }
  }
  throw std::runtime_error("a file offset outside the headers and sections");
}

const SectionFields& ImageFields::SectionOf(std::uint32_t rva) const {
  for (const SectionFields& section : sections) {
    const std::uint32_t size = std::max(section.virtualSize, section.rawSize);
    if (rva >= section.virtualAddress && rva - section.virtualAddress < size) {
      return section;
    }
  }
  throw std::runtime_error("an RVA in no section");
}

ImageFields ReadImageFields(const std::vector<std::uint8_t>& file) {
  const CheckedBytes bytes(file);
  ImageFields image;
  image.fileSize = file.size();
  image.peHeader = Need(bytes.U32(0x3C), "the offset of the PE header");
  image.coffHeader = image.peHeader + 4;
  image.optionalHeader = image.coffHeader + 20;
  const std::uint16_t sectionCount = Need(bytes.U16(image.coffHeader + 2), "the section count");
  image.optionalSize = Need(bytes.U16(image.coffHeader + 16), "the optional header's size");
  image.sectionTable = image.optionalHeader + image.optionalSize;
  image.sectionAlignment = Need(bytes.U32(image.Optional(32)), "SectionAlignment");
  image.fileAlignment = Need(bytes.U32(image.Optional(36)), "FileAlignment");
  image.sizeOfImage = Need(bytes.U32(image.Optional(56)), "SizeOfImage");
  image.sizeOfHeaders = Need(bytes.U32(image.Optional(60)), "SizeOfHeaders");
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    SectionFields section;
    section.header = image.sectionTable + 40 * i;
    const auto name = Need(bytes.Slice(section.header, 8), "a section name");
    section.name.assign(name.begin(), name.end());
    section.name = section.name.c_str();
    section.virtualSize = Need(bytes.U32(section.header + 8), "VirtualSize");
    section.virtualAddress = Need(bytes.U32(section.header + 12), "VirtualAddress");
    section.rawSize = Need(bytes.U32(section.header + 16), "SizeOfRawData");
    section.rawOffset = Need(bytes.U32(section.header + 20), "PointerToRawData");
    image.sections.push_back(section);
  }

  const std::uint32_t exportRva = Need(bytes.U32(image.Directory(0)), "the export directory");
  if (exportRva != 0) {
    ExportFields exports;
    exports.directoryRva = exportRva;
    exports.directory = image.OffsetOf(exportRva);
    const auto field = [&](std::uint64_t at) {
      return Need(bytes.U32(exports.directory + at), "an export directory field");
    };
    exports.nameRva = field(12);
    exports.libraryName = Need(bytes.Text(image.OffsetOf(exports.nameRva), 260), "its own name");
    exports.base = field(16);
    exports.functionCount = field(20);
    exports.nameCount = field(24);
    exports.functionsRva = field(28);
    exports.namesRva = field(32);
    exports.ordinalsRva = field(36);
    for (std::uint32_t i = 0; i < exports.nameCount; ++i) {
      const std::uint32_t nameRva =
          Need(bytes.U32(image.OffsetOf(exports.namesRva) + 4 * i), "an export name pointer");
      exports.names.push_back(Need(bytes.Text(image.OffsetOf(nameRva), 4096), "an export name"));
    }
    image.exports = exports;
  }

  const std::uint32_t importRva = Need(bytes.U32(image.Directory(1)), "the import directory");
  for (std::uint32_t rva = importRva; importRva != 0; rva += 20) {
    ImportFields import;
    import.descriptorRva = rva;
    import.descriptor = image.OffsetOf(rva);
    import.lookupRva = Need(bytes.U32(import.descriptor), "OriginalFirstThunk");
    import.nameRva = Need(bytes.U32(import.descriptor + 12), "an import's Name");
    import.addressRva = Need(bytes.U32(import.descriptor + 16), "FirstThunk");
    if (import.nameRva == 0) {
      break;
    }
    import.library = Need(bytes.Text(image.OffsetOf(import.nameRva), 260), "a library name");
    const std::uint64_t list = image.OffsetOf(import.lookupRva);
    for (std::uint64_t entry = list;; entry += 8) {
      const std::uint64_t value = Need(bytes.U64(entry), "an import entry");
      if (value == 0) {
        break;
      }
      const bool byOrdinal = (value >> 63) != 0;
      import.functions.push_back(
          byOrdinal ? ""
                    : Need(bytes.Text(image.OffsetOf(static_cast<std::uint32_t>(value) + 2), 4096),
                           "an imported name"));
    }
    image.imports.push_back(import);
  }
  return image;
}

}  // namespace agreement
