// Walks the resource tree as the system's resource functions do: the type (a version resource),
// then its first name, then its first language, to a data entry whose address is an RVA. The
// fixed part of the version block follows the block's header and its key "VS_VERSION_INFO".
#include "binary_reader/pe_version.h"

#include <algorithm>
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

// Where the version block lies: its RVA and size, from the resource tree's first version
// resource; nothing when the tree does not lead to one.
struct VersionBlock {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

std::optional<VersionBlock> FindVersionBlock(const PeLayout& layout) {
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
  if (!block || !size) {
    return std::nullopt;
  }
  return VersionBlock{.rva = *block, .size = *size};
}

// One node of the version block: a length, the length of its value, its type (1: the value is
// text, counted in UTF-16 characters; 0: bytes), its key in UTF-16, and after the key and after
// the value padding to 4 bytes from the block's start; its children fill the rest of its length.
struct VersionNode {
  std::uint64_t end = 0;       // the RVA just past the node
  std::string key{};           // in ASCII
  std::uint64_t value = 0;     // the RVA of its value
  std::uint64_t children = 0;  // the RVA of its first child
};

constexpr std::uint64_t kNodeHeaderBytes = 6;
constexpr std::uint64_t kMaxKeyCharacters = 64;
constexpr std::uint64_t kMaxValueCharacters = 256;

std::uint64_t Aligned(std::uint64_t base, std::uint64_t at) {
  return base + ((at - base + 3) & ~std::uint64_t{3});
}

// ASCII text in UTF-16 from `at` up to its terminator, at most `maxCharacters` long and not past
// `end`; a character outside ASCII reads as '?'. Nothing when no terminator comes in time or a
// byte is not mapped.
std::optional<std::string> Utf16Text(const PeLayout& layout, std::uint64_t at, std::uint64_t end,
                                     std::uint64_t maxCharacters) {
  std::string text;
  for (std::uint64_t i = 0; i <= maxCharacters && at + 2 * i + 2 <= end; ++i) {
    const std::optional<std::uint16_t> character = U16At(layout, at + 2 * i);
    if (!character) {
      return std::nullopt;
    }
    if (*character == 0) {
      return text;
    }
    text.push_back(*character < 0x80 ? static_cast<char>(*character) : '?');
  }
  return std::nullopt;
}

// The node at `at`, which must end by `limit`; nothing when it does not read.
std::optional<VersionNode> NodeAt(const PeLayout& layout, std::uint64_t base, std::uint64_t at,
                                  std::uint64_t limit) {
  const std::optional<std::uint16_t> length = U16At(layout, at);
  const std::optional<std::uint16_t> valueLength = U16At(layout, at + 2);
  const std::optional<std::uint16_t> type = U16At(layout, at + 4);
  if (!length || !valueLength || !type || *length < kNodeHeaderBytes || at + *length > limit) {
    return std::nullopt;
  }
  VersionNode node{.end = at + *length};
  const std::optional<std::string> key =
      Utf16Text(layout, at + kNodeHeaderBytes, node.end, kMaxKeyCharacters);
  if (!key) {
    return std::nullopt;
  }
  node.key = *key;
  node.value = Aligned(base, at + kNodeHeaderBytes + 2 * (key->size() + 1));
  const std::uint64_t valueBytes = *type == 1 ? 2 * std::uint64_t{*valueLength} : *valueLength;
  node.children = std::min(Aligned(base, node.value + valueBytes), node.end);
  return node;
}

// The child of `parent` under `key`, or its first child when `key` is empty.
std::optional<VersionNode> ChildOf(const PeLayout& layout, std::uint64_t base,
                                   const VersionNode& parent, const std::string& key) {
  std::uint64_t at = parent.children;
  while (at + kNodeHeaderBytes <= parent.end) {
    const std::optional<VersionNode> child = NodeAt(layout, base, at, parent.end);
    if (!child) {
      return std::nullopt;
    }
    if (key.empty() || child->key == key) {
      return child;
    }
    at = Aligned(base, child->end);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadFileVersion(const PeLayout& layout) {
  const std::optional<VersionBlock> block = FindVersionBlock(layout);
  if (!block || block->size < kFixedPartOffset + 16) {
    return std::nullopt;
  }
  const std::uint64_t fixed = std::uint64_t{block->rva} + kFixedPartOffset;
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

std::optional<std::string> ReadVersionString(const PeLayout& layout, const std::string& key) {
  const std::optional<VersionBlock> block = FindVersionBlock(layout);
  if (!block) {
    return std::nullopt;
  }
  const std::uint64_t base = block->rva;
  const std::optional<VersionNode> root = NodeAt(layout, base, base, base + block->size);
  const std::optional<VersionNode> strings =
      root ? ChildOf(layout, base, *root, "StringFileInfo") : std::nullopt;
  const std::optional<VersionNode> table =
      strings ? ChildOf(layout, base, *strings, "") : std::nullopt;
  const std::optional<VersionNode> value =
      table ? ChildOf(layout, base, *table, key) : std::nullopt;
  return value ? Utf16Text(layout, value->value, value->end, kMaxValueCharacters) : std::nullopt;
}
