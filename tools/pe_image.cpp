// The PE32+ reader. Headers, section table, import table and export table are read through
// CheckedBytes; an address inside the image (an RVA) becomes a file offset only through
// Place(), which also says how many bytes its section holds from there, and that count bounds
// every table walked from it. Counts beyond what any real image holds end the walk as damage.
#include "pe_image.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "checked_bytes.h"

namespace {

constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kMagicPe32 = 0x010B;
constexpr std::uint16_t kMagicPe32Plus = 0x020B;
constexpr std::uint16_t kCharacteristicExecutable = 0x0002;
constexpr std::uint16_t kCharacteristicDll = 0x2000;

constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDataDirectoriesOffset = 112;  // within the PE32+ optional header
constexpr std::uint64_t kImportDescriptorSize = 20;
constexpr std::uint64_t kImportEntrySize = 8;
constexpr std::uint64_t kExportDirectorySize = 40;
constexpr std::uint64_t kOrdinalFlag = 1ull << 63;

constexpr std::uint32_t kMaxSections = 96;      // the most the Windows loader accepts
constexpr std::uint32_t kMaxLibraries = 4096;   // import descriptors
constexpr std::uint32_t kMaxFunctions = 65536;  // imports in all, and export names or ordinals
constexpr std::uint64_t kMaxLibraryNameLength = 260;
constexpr std::uint64_t kMaxFunctionNameLength = 4096;
constexpr std::uint64_t kMaxNameBytes = 16 << 20;  // all names together
constexpr std::uint64_t kTextSniffLength = 512;

std::string Format(const char* format, std::uint64_t value) {
  char text[160];
  std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(value));
  return text;
}

// Why a file that does not start with "MZ" is not a Windows image, in the player's terms.
std::string WhyNotAnImage(const CheckedBytes& bytes) {
  if (bytes.Size() == 0) {
    return "it is empty (0 bytes)";
  }
  const std::span<const std::uint8_t> start =
      *bytes.Slice(0, std::min(bytes.Size(), kTextSniffLength));
  if (std::all_of(start.begin(), start.end(), [](std::uint8_t b) { return b == 0; })) {
    return "it holds nothing but zero bytes, as a download or copy that never finished leaves it";
  }
  const bool text = std::all_of(start.begin(), start.end(), [](std::uint8_t b) {
    return b >= 0x20 || b == '\t' || b == '\n' || b == '\r';
  });
  if (text) {
    return "it is a text file, not a Windows library";
  }
  return "it is not a Windows library: it does not start with the signature \"MZ\"";
}

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t dataSize = 0;  // bytes of the section present in the file
  std::uint32_t fileOffset = 0;
};

// Where an RVA's bytes lie in the file, and how many of its section's bytes follow from there.
struct Placement {
  std::uint64_t offset = 0;
  std::uint64_t available = 0;
};

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> file) : bytes_(file) {}

  PeReading Read() {
    if (ReadHeaders() && ReadImports()) {
      ReadExports();
    }
    return std::move(reading_);
  }

 private:
  bool Fail(std::string problem) {
    reading_.problem = std::move(problem);
    return false;
  }

  bool ReadHeaders() {
    const std::optional<std::uint16_t> signature = bytes_.U16(0);
    if (!signature || *signature != 0x5A4D) {
      return Fail(WhyNotAnImage(bytes_));
    }
    const std::optional<std::uint32_t> peOffset = bytes_.U32(0x3C);
    if (!peOffset) {
      return Fail("it is cut short: the file ends inside its first header");
    }
    const std::optional<std::uint32_t> peSignature = bytes_.U32(*peOffset);
    if (!peSignature) {
      return Fail("it is cut short or damaged: its first header points past the end of the file");
    }
    if (*peSignature != 0x00004550) {
      return Fail(
          "it is not a Windows library: the signature \"PE\" is missing where its first "
          "header says it is (an old DOS program, or a damaged file)");
    }
    const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
    const std::optional<std::span<const std::uint8_t>> header = bytes_.Slice(coff, kCoffHeaderSize);
    if (!header) {
      return Fail("it is cut short: the file ends inside its headers");
    }
    const std::uint16_t machine = *bytes_.U16(coff);
    const std::uint16_t sectionCount = *bytes_.U16(coff + 2);
    const std::uint16_t optionalSize = *bytes_.U16(coff + 16);
    const std::uint16_t characteristics = *bytes_.U16(coff + 18);
    if (machine == kMachineI386) {
      return Fail("it is a 32-bit library (for x86); the game is 64-bit and cannot load it");
    }
    if (machine == kMachineArm64) {
      return Fail("it is built for ARM64 Windows; the game needs a 64-bit x86 library");
    }
    if (machine != kMachineAmd64) {
      return Fail(
          Format("it is built for another kind of machine (code 0x%04llX), not for "
                 "64-bit x86 Windows",
                 machine));
    }
    const std::uint64_t optional = coff + kCoffHeaderSize;
    const std::optional<std::uint16_t> magic = bytes_.U16(optional);
    if (!magic) {
      return Fail("it is cut short: the file ends inside its headers");
    }
    if (*magic == kMagicPe32) {
      return Fail("it is a 32-bit image (PE32); the game is 64-bit and cannot load it");
    }
    if (*magic != kMagicPe32Plus || optionalSize < kDataDirectoriesOffset) {
      return Fail("its headers are damaged: the optional header is not that of a 64-bit image");
    }
    if ((characteristics & kCharacteristicExecutable) == 0) {
      return Fail("it is not marked as a finished, loadable image (a build that failed?)");
    }
    reading_.image.isDll = (characteristics & kCharacteristicDll) != 0;
    return ReadDirectories(optional, optionalSize) &&
           ReadSections(optional + optionalSize, sectionCount);
  }

  bool ReadDirectories(std::uint64_t optional, std::uint16_t optionalSize) {
    const std::optional<std::uint32_t> count = bytes_.U32(optional + kDataDirectoriesOffset - 4);
    if (!count) {
      return Fail("it is cut short: the file ends inside its headers");
    }
    const std::uint64_t present =
        std::min<std::uint64_t>({*count, 2, (optionalSize - kDataDirectoriesOffset) / 8});
    for (std::uint64_t i = 0; i < present; ++i) {
      const std::optional<std::uint32_t> rva =
          bytes_.U32(optional + kDataDirectoriesOffset + 8 * i);
      if (!rva) {
        return Fail("it is cut short: the file ends inside its headers");
      }
      (i == 0 ? exportRva_ : importRva_) = *rva;
    }
    return true;
  }

  bool ReadSections(std::uint64_t table, std::uint16_t count) {
    if (count == 0) {
      return Fail("it has no sections: there is nothing in it to load");
    }
    if (count > kMaxSections) {
      return Fail(
          Format("its headers are damaged: they list %llu sections, and Windows loads at "
                 "most 96",
                 count));
    }
    if (!bytes_.Slice(table, count * kSectionHeaderSize)) {
      return Fail("it is cut short: the file ends inside its section table");
    }
    std::uint64_t needed = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
      const std::uint64_t entry = table + i * kSectionHeaderSize;
      const std::uint32_t virtualSize = *bytes_.U32(entry + 8);
      Section section;
      section.virtualAddress = *bytes_.U32(entry + 12);
      const std::uint32_t rawSize = *bytes_.U32(entry + 16);
      section.fileOffset = *bytes_.U32(entry + 20);
      section.dataSize = virtualSize == 0 ? rawSize : std::min(rawSize, virtualSize);
      if (rawSize != 0) {
        needed = std::max(needed, std::uint64_t{section.fileOffset} + rawSize);
      }
      sections_.push_back(section);
    }
    if (needed > bytes_.Size()) {
      return Fail(Format("it is cut short: its sections run to byte %llu, ", needed) +
                  Format("but the file ends at byte %llu (a download or copy that did not "
                         "finish)",
                         bytes_.Size()));
    }
    return true;
  }

  // Where the RVA's bytes are in the file; nothing when they are not in the file at all.
  std::optional<Placement> Place(std::uint32_t rva) const {
    for (const Section& section : sections_) {
      if (rva >= section.virtualAddress && rva - section.virtualAddress < section.dataSize) {
        const std::uint64_t into = rva - section.virtualAddress;
        const Placement place{section.fileOffset + into, section.dataSize - into};
        if (!bytes_.Slice(place.offset, place.available)) {
          return std::nullopt;
        }
        return place;
      }
    }
    return std::nullopt;
  }

  // The text at an RVA, which must end within its section and within maxLength characters.
  bool PlacedText(std::uint32_t rva, std::uint64_t maxLength, const std::string& what,
                  std::string& text) {
    const std::optional<Placement> place = Place(rva);
    if (!place) {
      return Fail(what + " lies outside the file's data");
    }
    std::optional<std::string> found =
        bytes_.Text(place->offset, std::min(maxLength, place->available - 1));
    if (!found) {
      return Fail(what + " never ends");
    }
    nameBytes_ += found->size();
    if (nameBytes_ > kMaxNameBytes) {
      return Fail("its name tables are damaged: their names add up to more than 16 MiB");
    }
    text = std::move(*found);
    return true;
  }

  bool ReadImports() {
    if (importRva_ == 0) {
      return true;
    }
    const std::optional<Placement> table = Place(importRva_);
    if (!table) {
      return Fail("its import table lies outside the file's data");
    }
    const std::uint64_t slots =
        std::min<std::uint64_t>(table->available / kImportDescriptorSize, kMaxLibraries);
    std::uint32_t functions = 0;
    for (std::uint64_t i = 0;; ++i) {
      if (i == slots) {
        return Fail("its import table never ends");
      }
      const std::uint64_t entry = table->offset + i * kImportDescriptorSize;
      const std::uint32_t lookupRva = *bytes_.U32(entry);
      const std::uint32_t nameRva = *bytes_.U32(entry + 12);
      const std::uint32_t addressRva = *bytes_.U32(entry + 16);
      if (lookupRva == 0 && nameRva == 0 && addressRva == 0) {
        return true;
      }
      PeImportedLibrary library;
      if (!PlacedText(nameRva, kMaxLibraryNameLength,
                      Format("the name of imported library number %llu", i + 1), library.name) ||
          !ReadImportedFunctions(lookupRva != 0 ? lookupRva : addressRva, library, functions)) {
        return false;
      }
      reading_.image.imports.push_back(std::move(library));
    }
  }

  bool ReadImportedFunctions(std::uint32_t listRva, PeImportedLibrary& library,
                             std::uint32_t& functions) {
    const std::string list = "the list of functions it imports from " + library.name;
    const std::optional<Placement> place = Place(listRva);
    if (!place) {
      return Fail(list + " lies outside the file's data");
    }
    const std::uint64_t slots = place->available / kImportEntrySize;
    for (std::uint64_t i = 0;; ++i) {
      if (i == slots) {
        return Fail(list + " never ends");
      }
      const std::uint64_t entry = *bytes_.U64(place->offset + i * kImportEntrySize);
      if (entry == 0) {
        return true;
      }
      if (++functions > kMaxFunctions) {
        return Fail("its import table is damaged: it lists more than 65536 functions");
      }
      PeImport function;
      if ((entry & kOrdinalFlag) != 0) {
        function.ordinal = static_cast<std::uint16_t>(entry);
      } else if (entry > 0x7FFFFFFF) {
        return Fail(list + " holds a damaged entry");
      } else if (!PlacedText(static_cast<std::uint32_t>(entry) + 2, kMaxFunctionNameLength,
                             "a function name in " + list, function.name)) {
        return false;
      }
      library.functions.push_back(std::move(function));
    }
  }

  bool ReadExports() {
    if (exportRva_ == 0) {
      return true;
    }
    const std::optional<Placement> directory = Place(exportRva_);
    if (!directory || directory->available < kExportDirectorySize) {
      return Fail("its export table lies outside the file's data");
    }
    const std::uint32_t base = *bytes_.U32(directory->offset + 16);
    const std::uint32_t functionCount = *bytes_.U32(directory->offset + 20);
    const std::uint32_t nameCount = *bytes_.U32(directory->offset + 24);
    const std::uint32_t namesRva = *bytes_.U32(directory->offset + 32);
    if (functionCount > kMaxFunctions || nameCount > kMaxFunctions) {
      return Fail("its export table is damaged: it claims more than 65536 functions");
    }
    reading_.image.firstExportOrdinal = base;
    reading_.image.exportOrdinalCount = functionCount;
    if (nameCount == 0) {
      return true;
    }
    const std::optional<Placement> names = Place(namesRva);
    if (!names || names->available / 4 < nameCount) {
      return Fail("its table of exported names lies outside the file's data");
    }
    for (std::uint64_t i = 0; i < nameCount; ++i) {
      std::string name;
      if (!PlacedText(*bytes_.U32(names->offset + 4 * i), kMaxFunctionNameLength,
                      Format("exported name number %llu", i + 1), name)) {
        return false;
      }
      reading_.image.exportNames.push_back(std::move(name));
    }
    return true;
  }

  CheckedBytes bytes_;
  std::vector<Section> sections_;
  std::uint32_t exportRva_ = 0;
  std::uint32_t importRva_ = 0;
  std::uint64_t nameBytes_ = 0;
  PeReading reading_;
};

}  // namespace

PeReading ReadPeImage(std::span<const std::uint8_t> file) {
  return Reader(file).Read();
}
