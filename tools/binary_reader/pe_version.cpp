// Walks the resource tree as the system's resource functions do: the type (a version resource),
// then its first name, then its first language, to a data entry whose address is an RVA. The
// fixed part of the version block follows the block's header and its key "VS_VERSION_INFO".
#include "binary_reader/pe_version.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kVersionType = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::uint32_t kNamedEntryBit = 0x80000000u;
constexpr std::uint32_t kDirectoryHeaderBytes = 16;
constexpr std::uint32_t kEntryBytes = 8;
// The fixed part's place in the block: 6 bytes of header and 16 UTF-16 characters of key with
// their terminator, aligned to 4 bytes.
constexpr std::uint32_t kFixedPartOffset = 40;
constexpr std::uint32_t kFixedPartSignature = 0xFEEF04BDu;

// Integers at an RVA given in 64 bits, so that no sum of offsets wraps around to another place;
// nothing when any of their bytes is not mapped.
std::optional<std::uint16_t> U16At(const PeLayout& layout, std::uint64_t rva) {
  return rva + 2 <= UINT32_MAX ? layout.U16(static_cast<std::uint32_t>(rva)) : std::nullopt;
}
std::optional<std::uint32_t> U32At(const PeLayout& layout, std::uint64_t rva) {
  return rva + 4 <= UINT32_MAX ? layout.U32(static_cast<std::uint32_t>(rva)) : std::nullopt;
}

// The RVA of a place `offset` bytes into the resource tree.
std::uint64_t TreeAddress(const PeLayout& layout, std::uint32_t offset) {
  return std::uint64_t{layout.resources.rva} + offset;
}

// The offset an entry of the directory at `directory` points to: the entry for type `id`, or
// the first entry when there is no id; nothing when there is none, or it does not lead on to a
// subdirectory when `wantSubdirectory`, or to data otherwise.
std::optional<std::uint32_t> EntryTarget(const PeLayout& layout, std::uint32_t directory,
                                         std::optional<std::uint32_t> id, bool wantSubdirectory) {
  const std::uint64_t at = TreeAddress(layout, directory);
  const std::optional<std::uint16_t> named = U16At(layout, at + 12);
  const std::optional<std::uint16_t> numbered = U16At(layout, at + 14);
  if (!named || !numbered) {
    return std::nullopt;
  }
  const std::uint32_t count = std::uint32_t{*named} + *numbered;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = at + kDirectoryHeaderBytes + std::uint64_t{i} * kEntryBytes;
    const std::optional<std::uint32_t> name = U32At(layout, entry);
    const std::optional<std::uint32_t> target = U32At(layout, entry + 4);
    if (!name || !target) {
      return std::nullopt;
    }
    if (id && ((*name & kNamedEntryBit) != 0 || *name != *id)) {
      continue;
    }
    if (((*target & kSubdirectoryBit) != 0) != wantSubdirectory) {
      return std::nullopt;
    }
    return *target & ~kSubdirectoryBit;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadFileVersion(const PeLayout& layout) {
  if (layout.resources.rva == 0) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> names = EntryTarget(layout, 0, kVersionType, true);
  const std::optional<std::uint32_t> languages =
      names ? EntryTarget(layout, *names, std::nullopt, true) : std::nullopt;
  const std::optional<std::uint32_t> data =
      languages ? EntryTarget(layout, *languages, std::nullopt, false) : std::nullopt;
  if (!data) {
    return std::nullopt;
  }
  const std::uint64_t dataEntry = TreeAddress(layout, *data);
  const std::optional<std::uint32_t> block = U32At(layout, dataEntry);
  const std::optional<std::uint32_t> size = U32At(layout, dataEntry + 4);
  if (!block || !size || *size < kFixedPartOffset + 16) {
    return std::nullopt;
  }
  const std::uint64_t fixed = std::uint64_t{*block} + kFixedPartOffset;
  const std::optional<std::uint32_t> signature = U32At(layout, fixed);
  const std::optional<std::uint32_t> high = U32At(layout, fixed + 8);
  const std::optional<std::uint32_t> low = U32At(layout, fixed + 12);
  if (signature != kFixedPartSignature || !high || !low) {
    return std::nullopt;
  }
  std::string version = std::to_string(*high >> 16) + "." + std::to_string(*high & 0xFFFF) + "." +
                        std::to_string(*low >> 16);
  if ((*low & 0xFFFF) != 0) {
    version += "." + std::to_string(*low & 0xFFFF);
  }
  return version;
}
