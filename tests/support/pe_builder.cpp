// The PE image builder. The section holds, in this order: the import descriptors, the library
// names, the function names (hint and text), the export directory with its three arrays, its
// names and its forwarders, the resource tree with its version block, and last the import lists, so that cutting the section short cuts
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

// One node of a version block: its header (length, value length, type), its key in UTF-16 and
// padding to 4 bytes, its value and padding, then its children, each padded to 4 bytes.
std::vector<std::uint8_t> VersionNode(const std::string& key, bool text,
                                      const std::vector<std::uint8_t>& value,
                                      std::uint16_t valueLength,
                                      const std::vector<std::vector<std::uint8_t>>& children) {
  std::vector<std::uint8_t> node(6);
  const auto pad = [&node] { node.resize((node.size() + 3) & ~std::size_t{3}); };
  for (const char c : key) {
    node.push_back(static_cast<std::uint8_t>(c));
    node.push_back(0);
  }
  node.insert(node.end(), {0, 0});
  pad();
  node.insert(node.end(), value.begin(), value.end());
  for (const std::vector<std::uint8_t>& child : children) {
    pad();
    node.insert(node.end(), child.begin(), child.end());
  }
  Put16(node, 0, static_cast<std::uint16_t>(node.size()));
  Put16(node, 2, valueLength);
  Put16(node, 4, text ? 1 : 0);
  return node;
}

}  // namespace

std::vector<std::uint8_t> VersionBlock(
    std::uint16_t major, std::uint16_t minor, std::uint16_t patch,
    const std::vector<std::pair<std::string, std::string>>& strings) {
  std::vector<std::vector<std::uint8_t>> texts;
  for (const auto& [key, text] : strings) {
    std::vector<std::uint8_t> value;
    for (const char c : text) {
      value.push_back(static_cast<std::uint8_t>(c));
      value.push_back(0);
    }
    value.insert(value.end(), {0, 0});
    texts.push_back(
        VersionNode(key, true, value, static_cast<std::uint16_t>(text.size() + 1), {}));
  }
  const std::vector<std::uint8_t> table = VersionNode("040904B0", true, {}, 0, texts);
  std::vector<std::uint8_t> fixed(52);
  Put32(fixed, 0, 0xFEEF04BD);
  Put32(fixed, 4, 0x00010000);
  for (const std::size_t at : {8, 16}) {  // file and product version
    Put32(fixed, at, std::uint32_t{major} << 16 | minor);
    Put32(fixed, at + 4, std::uint32_t{patch} << 16);
  }
  return VersionNode("VS_VERSION_INFO", false, fixed, 52,
                     {VersionNode("StringFileInfo", true, {}, 0, {table})});
}

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

  // The resource tree: a directory of types holding the version type (16), one of names holding
  // name 1, one of languages holding US English, each with one entry, then the data entry,
  // whose offsets count from the tree's start, and the block at an address that is a multiple
  // of 4.
  std::uint32_t resourceTree = 0;
  std::uint32_t resourceSize = 0;
  std::uint32_t versionBlock = 0;
  if (!layout.versionResource.empty()) {
    section.Reserve((4 - section.bytes.size() % 4) % 4);
    resourceTree = section.Reserve(3 * 24 + 16);
    versionBlock = section.Reserve(layout.versionResource.size());
    std::copy(layout.versionResource.begin(), layout.versionResource.end(),
              section.bytes.begin() + section.At(versionBlock));
    const std::size_t tree = section.At(resourceTree);
    const std::uint32_t ids[] = {16, 1, 0x409};
    for (std::uint32_t level = 0; level < 3; ++level) {
      const std::size_t directory = tree + 24 * level;
      Put16(section.bytes, directory + 14, 1);
      Put32(section.bytes, directory + 16, ids[level]);
      Put32(section.bytes, directory + 20, level < 2 ? 0x80000000u | (24 * (level + 1)) : 72);
    }
    Put32(section.bytes, tree + 72, versionBlock);
    Put32(section.bytes, tree + 76, static_cast<std::uint32_t>(layout.versionResource.size()));
    resourceSize = section.Rva() - resourceTree;
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

  if (resourceTree != 0) {
    Put32(bytes, kOptionalOffset + 128, resourceTree);
    Put32(bytes, kOptionalOffset + 132, resourceSize);
    built.versionBlockOffset = built.At(versionBlock);
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
