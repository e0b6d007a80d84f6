// The PE image builder. The section holds, in this order: the import descriptors, the library
// names, the function names (hint and text), the export directory with its three arrays, its
// names and its forwarders, and last the import lists, so that cutting the section short cuts
// the last list first. Each library has one list, which serves as both its lookup list and its
// address list, as a file whose imports were never bound may have it.
#include "support/pe_builder.h"

namespace holdout_test {

namespace {

constexpr std::size_t kHeadersSize = 0x200;
constexpr std::size_t kPeOffset = 0x40;
constexpr std::size_t kCoffOffset = kPeOffset + 4;
constexpr std::size_t kOptionalOffset = kCoffOffset + 20;
constexpr std::size_t kOptionalSize = 240;
constexpr std::uint32_t kSectionRva = 0x1000;

// The section's bytes, with RVAs handed out as they are appended.
class SectionWriter {
 public:
  std::uint32_t Rva() const { return kSectionRva + static_cast<std::uint32_t>(bytes.size()); }
  std::uint32_t Reserve(std::size_t size) {
    const std::uint32_t rva = Rva();
    bytes.resize(bytes.size() + size);
    return rva;
  }
  std::uint32_t Text(const std::string& text) {
    const std::uint32_t rva = Reserve(text.size() + 1);
    std::copy(text.begin(), text.end(), bytes.begin() + (rva - kSectionRva));
    return rva;
  }
  std::size_t At(std::uint32_t rva) const { return rva - kSectionRva; }

  std::vector<std::uint8_t> bytes;
};

}  // namespace

void Put64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value) {
  Put32(bytes, offset, static_cast<std::uint32_t>(value));
  Put32(bytes, offset + 4, static_cast<std::uint32_t>(value >> 32));
}

void Put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  Put16(bytes, offset, static_cast<std::uint16_t>(value));
  Put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

BuiltPe BuildPe(const PeContents& layout) {
  SectionWriter section;
  const std::uint32_t descriptors = section.Reserve((layout.imports.size() + 1) * 20);
  std::vector<std::uint32_t> libraryNames;
  std::vector<std::vector<std::uint32_t>> functionNames;
  for (const PeLibrary& library : layout.imports) {
    libraryNames.push_back(section.Text(library.name));
  }
  for (const PeLibrary& library : layout.imports) {
    functionNames.emplace_back();
    for (const std::string& function : library.functions) {
      functionNames.back().push_back(section.Reserve(2));
      section.Text(function);
    }
  }

  std::uint32_t exportDirectory = 0;
  std::uint32_t exportSize = 0;
  if (!layout.exports.empty()) {
    const std::uint32_t count = static_cast<std::uint32_t>(layout.exports.size());
    exportDirectory = section.Reserve(40);
    const std::uint32_t addresses = section.Reserve(4 * count);
    const std::uint32_t names = section.Reserve(4 * count);
    const std::uint32_t ordinals = section.Reserve(2 * count);
    const std::size_t directory = section.At(exportDirectory);
    Put32(section.bytes, directory + 12, section.Text(layout.builtName));
    Put32(section.bytes, directory + 16, 1);
    Put32(section.bytes, directory + 20, count);
    Put32(section.bytes, directory + 24, count);
    Put32(section.bytes, directory + 28, addresses);
    Put32(section.bytes, directory + 32, names);
    Put32(section.bytes, directory + 36, ordinals);
    for (std::uint32_t i = 0; i < count; ++i) {
      Put32(section.bytes, section.At(addresses) + 4 * i, kSectionRva);
      Put32(section.bytes, section.At(names) + 4 * i, section.Text(layout.exports[i]));
      Put16(section.bytes, section.At(ordinals) + 2 * i, static_cast<std::uint16_t>(i));
    }
    for (std::uint32_t i = 0; i < count; ++i) {
      const auto forward = layout.forwards.find(layout.exports[i]);
      if (forward != layout.forwards.end()) {
        Put32(section.bytes, section.At(addresses) + 4 * i, section.Text(forward->second));
      }
    }
    exportSize = section.Rva() - exportDirectory;
  }

  BuiltPe built;
  built.sectionRva = kSectionRva;
  for (std::size_t i = 0; i < layout.imports.size(); ++i) {
    const std::uint32_t list = section.Reserve((functionNames[i].size() + 1) * 8);
    for (std::size_t j = 0; j < functionNames[i].size(); ++j) {
      Put64(section.bytes, section.At(list) + 8 * j, functionNames[i][j]);
    }
    built.lastListEndRva = list + static_cast<std::uint32_t>(8 * functionNames[i].size());
    built.listRvas.push_back(list);
    const std::size_t descriptor = section.At(descriptors) + 20 * i;
    Put32(section.bytes, descriptor, list);
    Put32(section.bytes, descriptor + 12, libraryNames[i]);
    Put32(section.bytes, descriptor + 16, list);
  }

  const std::uint32_t virtualSize = static_cast<std::uint32_t>(section.bytes.size());
  const std::uint32_t rawSize = (virtualSize + 0x1FF) & ~0x1FFu;
  std::vector<std::uint8_t>& bytes = built.bytes;
  bytes.assign(kHeadersSize + rawSize, 0);
  std::copy(section.bytes.begin(), section.bytes.end(), bytes.begin() + kHeadersSize);

  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put32(bytes, 0x3C, kPeOffset);
  Put32(bytes, kPeOffset, 0x00004550);
  built.machineOffset = kCoffOffset;
  built.sectionCountOffset = kCoffOffset + 2;
  Put16(bytes, kCoffOffset, 0x8664);
  Put16(bytes, kCoffOffset + 2, 1);
  Put16(bytes, kCoffOffset + 16, kOptionalSize);
  Put16(bytes, kCoffOffset + 18, static_cast<std::uint16_t>(0x0022 | (layout.dll ? 0x2000 : 0)));

  built.magicOffset = kOptionalOffset;
  Put16(bytes, kOptionalOffset, 0x020B);
  Put32(bytes, kOptionalOffset + 32, 0x1000);  // SectionAlignment
  Put32(bytes, kOptionalOffset + 36, 0x200);   // FileAlignment
  Put32(bytes, kOptionalOffset + 56, kSectionRva + ((virtualSize + 0xFFF) & ~0xFFFu));
  Put32(bytes, kOptionalOffset + 60, kHeadersSize);
  Put32(bytes, kOptionalOffset + 108, 16);
  built.exportDirectoryEntry = kOptionalOffset + 112;
  built.importDirectoryEntry = kOptionalOffset + 120;
  if (exportDirectory != 0) {
    Put32(bytes, built.exportDirectoryEntry, exportDirectory);
    Put32(bytes, built.exportDirectoryEntry + 4, exportSize);
    built.exportDirectoryOffset = kHeadersSize + section.At(exportDirectory);
  }
  if (!layout.imports.empty()) {
    built.importDescriptorOffset = built.At(descriptors);
    Put32(bytes, built.importDirectoryEntry, descriptors);
    Put32(bytes, built.importDirectoryEntry + 4,
          static_cast<std::uint32_t>((layout.imports.size() + 1) * 20));
  }

  built.sectionHeaderOffset = kOptionalOffset + kOptionalSize;
  const std::string name = ".rdata";
  std::copy(name.begin(), name.end(), bytes.begin() + built.sectionHeaderOffset);
  Put32(bytes, built.sectionHeaderOffset + 8, virtualSize);
  Put32(bytes, built.sectionHeaderOffset + 12, kSectionRva);
  Put32(bytes, built.sectionHeaderOffset + 16, rawSize);
  Put32(bytes, built.sectionHeaderOffset + 20, kHeadersSize);
  Put32(bytes, built.sectionHeaderOffset + 36, 0x40000040);
  built.sectionSize = virtualSize;
  return built;
}

}  // namespace holdout_test
