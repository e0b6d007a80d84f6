// A 64-bit Windows image (PE32+) laid out as the Windows loader maps it: the headers at address
// 0, each section at its address with its bytes from the file and zeros after them. Reading the
// headers checks what the loader checks before it maps anything (the signatures, the machine,
// sections aligned, ascending and adjacent inside the image's size, their data inside the
// file), so that a layout that reads is one the loader maps. After that, every table is read by
// its address in memory (an RVA), as the loader reads it: bytes the file does not hold read as
// zeros, addresses outside every mapped part read as nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Where a table lies in memory and how long the headers say it is.
struct PeDirectory {
  std::uint32_t rva = 0;  // 0: the image has no such table
  std::uint32_t size = 0;
};

class PeLayout {
 public:
  // One mapped part: the headers or a section.
  struct Region {
    std::uint32_t rva = 0;
    std::uint64_t size = 0;        // bytes mapped in memory
    std::uint64_t fileOffset = 0;  // where its bytes start in the file
    std::uint64_t fileSize = 0;    // how many of them the file holds; the rest read as zeros
  };

  PeLayout(std::vector<std::uint8_t> file, std::vector<Region> regions);

  bool isDll = false;  // a library rather than a program
  std::uint32_t sizeOfImage = 0;
  PeDirectory exports;          // the export directory, as the headers give it
  PeDirectory imports;          // the import descriptor table
  PeDirectory resources;        // the root of the resource tree
  PeDirectory importAddresses;  // where the lists the loader fills with addresses lie

  // Whether every byte from rva on for size bytes is mapped.
  bool Contains(std::uint32_t rva, std::uint64_t size) const;
  // Little-endian integers at an RVA; nothing when any of their bytes is not mapped.
  std::optional<std::uint8_t> U8(std::uint64_t rva) const;
  std::optional<std::uint16_t> U16(std::uint32_t rva) const;
  std::optional<std::uint32_t> U32(std::uint32_t rva) const;
  std::optional<std::uint64_t> U64(std::uint32_t rva) const;
  // The zero-terminated text at an RVA. kUnmapped when a byte before its end is not mapped,
  // kTooLong when no terminator comes within maxLength characters.
  enum class TextEnd { kEnded, kUnmapped, kTooLong };
  TextEnd Text(std::uint32_t rva, std::uint64_t maxLength, std::string& text) const;

 private:
  template <typename Integer>
  std::optional<Integer> Read(std::uint32_t rva) const;

  std::vector<std::uint8_t> file_;
  std::vector<Region> regions_;  // ascending, not overlapping
};

// The outcome of reading the headers: the layout, or what stops the loader from mapping it.
struct PeLayoutReading {
  std::shared_ptr<const PeLayout> layout;  // null when problem is not empty
  std::string problem;  // one sentence about the file as "it", e.g. "it is cut short: ..."
};

PeLayoutReading ReadPeLayout(std::span<const std::uint8_t> file);

// What the first headers of a file say it is, read from its start alone: enough to tell a game's
// 64-bit program from a 32-bit one or a library without reading a file of many megabytes.
enum class PeKind {
  kNotAnImage,  // no "MZ" and "PE" signatures, or cut short inside the first headers
  kProgram64,   // a 64-bit x86 program
  kLibrary64,   // a 64-bit x86 library
  kOther,       // an image for another machine or of 32 bits
};

// The kind of image whose first bytes (as far as its first headers) these are.
PeKind ReadPeKind(std::span<const std::uint8_t> start);
