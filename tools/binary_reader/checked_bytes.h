// The bytes of a file a player handed us, read only through range checks: every read states
// where and how much, and a read that does not lie wholly inside the file gives nothing instead
// of bytes from beyond it. Integers are little-endian, as Windows files store them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

class CheckedBytes {
 public:
  explicit CheckedBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // The file's length in bytes.
  std::uint64_t Size() const { return bytes_.size(); }

  // The `size` bytes at `offset`; nothing when any of them lies outside the file. Every other
  // read goes through this one check.
  std::optional<std::span<const std::uint8_t>> Slice(std::uint64_t offset,
                                                     std::uint64_t size) const {
    if (offset > bytes_.size() || size > bytes_.size() - offset) {
      return std::nullopt;
    }
    return bytes_.subspan(offset, size);
  }

  // The file's first bytes, at most `maxSize` of them: all of a shorter file.
  std::span<const std::uint8_t> Start(std::uint64_t maxSize) const {
    return Slice(0, std::min(Size(), maxSize)).value_or(std::span<const std::uint8_t>());
  }

  // The unsigned little-endian integers of 2, 4 and 8 bytes at `offset`.
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    return Read<std::uint16_t>(offset);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    return Read<std::uint32_t>(offset);
  }
  std::optional<std::uint64_t> U64(std::uint64_t offset) const {
    return Read<std::uint64_t>(offset);
  }

  // The zero-terminated text at `offset` when its terminator lies within the file and within
  // `maxLength` characters; nothing otherwise.
  std::optional<std::string> Text(std::uint64_t offset, std::uint64_t maxLength) const {
    const std::uint64_t available = offset > bytes_.size() ? 0 : bytes_.size() - offset;
    const std::optional<std::span<const std::uint8_t>> window =
        Slice(offset, std::min(available, maxLength + 1));
    if (!window || window->empty()) {
      return std::nullopt;
    }
    const void* end = std::memchr(window->data(), 0, window->size());
    if (end == nullptr) {
      return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(window->data()),
                       static_cast<const std::uint8_t*>(end) - window->data());
  }

 private:
  template <typename Integer>
  std::optional<Integer> Read(std::uint64_t offset) const {
    const std::optional<std::span<const std::uint8_t>> raw = Slice(offset, sizeof(Integer));
    if (!raw) {
      return std::nullopt;
    }
    Integer value = 0;
    for (std::size_t i = sizeof(Integer); i-- > 0;) {
      value = static_cast<Integer>((value << 8) | (*raw)[i]);
    }
    return value;
  }

  std::span<const std::uint8_t> bytes_;
};
