// The headers and the section table, read through CheckedBytes and checked the way the loader
// checks them before it maps an image:
// - the signatures "MZ" and "PE", a 64-bit x86 machine, a PE32+ optional header, a finished
//   image;
// - the sections' alignment in memory a power of two no smaller than their alignment in the
//   file (an alignment below a page maps the file as it is, each section where its data lies);
// - at most 96 sections, each starting at a multiple of that alignment, the first after the
//   headers and each next one where the one before it ends, the last inside the image's size;
// - each section's data inside the file. The loader reads the file in 512-byte sectors and
//   rounds a section's file offset down to one, so data may end inside the file's last sector;
// - the code (an executable section, and the entry point) taken from the file's own data, not
//   from its headers.
// Wine maps overlapping or scattered sections as they come; Windows refuses them, as the image
// format requires sections to be ascending and adjacent, and so does this reader.
#include "binary_reader/pe_layout.h"

#include <algorithm>

#include "binary_reader/checked_bytes.h"
#include "sentences/text.h"

namespace {

constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kMagicPe32 = 0x010B;
constexpr std::uint16_t kMagicPe32Plus = 0x020B;
constexpr std::uint16_t kCharacteristicExecutable = 0x0002;
constexpr std::uint16_t kCharacteristicDll = 0x2000;
constexpr std::uint32_t kSectionExecutable = 0x20000000;

constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDataDirectoriesOffset = 112;  // within the PE32+ optional header
constexpr std::uint64_t kPageSize = 0x1000;
constexpr std::uint64_t kSectorSize = 0x200;

constexpr std::uint32_t kMaxSections = 96;  // the most the Windows loader accepts

// The data directories read, by their index in the headers.
constexpr std::uint32_t kExportDirectory = 0;
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kImportAddressDirectory = 12;
constexpr std::uint32_t kDirectoriesRead = 13;
constexpr std::uint64_t kTextSniffLength = 512;

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool IsPowerOfTwo(std::uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

// Why a file that does not start with "MZ" is not a Windows image, in the player's terms.
std::string WhyNotAnImage(const CheckedBytes& bytes) {
  if (bytes.Size() == 0) {
    return "it is empty (0 bytes)";
  }
  const std::span<const std::uint8_t> start = bytes.Start(kTextSniffLength);
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

struct SectionHeader {
  std::string name;
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t characteristics = 0;
};

class HeaderReader {
 public:
  explicit HeaderReader(std::span<const std::uint8_t> file) : bytes_(file), file_(file) {}

  PeLayoutReading Read() {
    PeLayoutReading reading;
    if (ReadHeaders() && ReadSectionTable() && CheckAlignment() && LayOut() && CheckEntryPoint()) {
      auto layout = std::make_shared<PeLayout>(
          std::vector<std::uint8_t>(file_.begin(), file_.end()), std::move(regions_));
      layout->isDll = isDll_;
      layout->sizeOfImage = sizeOfImage_;
      layout->exports = directories_[kExportDirectory];
      layout->imports = directories_[kImportDirectory];
      layout->resources = directories_[kResourceDirectory];
      layout->importAddresses = directories_[kImportAddressDirectory];
      reading.layout = std::move(layout);
    } else {
      reading.problem = std::move(problem_);
    }
    return reading;
  }

 private:
  bool Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  bool CutInHeaders() { return Fail("it is cut short: the file ends inside its headers"); }

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
    // The file header's fields; the last of them ends the header, so they all read exactly when
    // the whole header lies in the file.
    const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
    const std::optional<std::uint16_t> machineField = bytes_.U16(coff);
    const std::optional<std::uint16_t> sectionCount = bytes_.U16(coff + 2);
    const std::optional<std::uint16_t> optionalSizeField = bytes_.U16(coff + 16);
    const std::optional<std::uint16_t> characteristicsField =
        bytes_.U16(coff + kCoffHeaderSize - 2);
    if (!machineField || !sectionCount || !optionalSizeField || !characteristicsField) {
      return CutInHeaders();
    }
    const std::uint16_t machine = *machineField;
    const std::uint16_t optionalSize = *optionalSizeField;
    const std::uint16_t characteristics = *characteristicsField;
    sectionCount_ = *sectionCount;
    if (machine == kMachineI386) {
      return Fail("it is a 32-bit library (for x86); the game is 64-bit and cannot load it");
    }
    if (machine == kMachineArm64) {
      return Fail("it is built for ARM64 Windows; the game needs a 64-bit x86 library");
    }
    if (machine != kMachineAmd64) {
      return Fail(
          Formatted("it is built for another kind of machine (code 0x%04llX), not for "
                    "64-bit x86 Windows",
                    machine));
    }
    const std::uint64_t optional = coff + kCoffHeaderSize;
    const std::optional<std::uint16_t> magic = bytes_.U16(optional);
    if (!magic) {
      return CutInHeaders();
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
    isDll_ = (characteristics & kCharacteristicDll) != 0;
    sectionTable_ = optional + optionalSize;
    const std::optional<std::uint32_t> entryPoint = bytes_.U32(optional + 16);
    const std::optional<std::uint32_t> sectionAlignment = bytes_.U32(optional + 32);
    const std::optional<std::uint32_t> fileAlignment = bytes_.U32(optional + 36);
    const std::optional<std::uint32_t> sizeOfImage = bytes_.U32(optional + 56);
    const std::optional<std::uint32_t> sizeOfHeaders = bytes_.U32(optional + 60);
    const std::optional<std::uint32_t> directoryCount = bytes_.U32(optional + 108);
    if (!entryPoint || !sectionAlignment || !fileAlignment || !sizeOfImage || !sizeOfHeaders ||
        !directoryCount) {
      return CutInHeaders();
    }
    entryPoint_ = *entryPoint;
    sectionAlignment_ = *sectionAlignment;
    fileAlignment_ = *fileAlignment;
    sizeOfImage_ = *sizeOfImage;
    sizeOfHeaders_ = *sizeOfHeaders;
    // The loader takes a table from the headers when its index is below their count, whatever
    // the optional header's declared size.
    for (std::uint32_t i = 0; i < kDirectoriesRead && i < *directoryCount; ++i) {
      const std::uint64_t entry = optional + kDataDirectoriesOffset + 8 * i;
      const std::optional<std::uint32_t> rva = bytes_.U32(entry);
      const std::optional<std::uint32_t> size = bytes_.U32(entry + 4);
      if (!rva || !size) {
        return CutInHeaders();
      }
      directories_[i] = {*rva, *size};
    }
    return true;
  }

  bool ReadSectionTable() {
    if (sectionCount_ == 0) {
      return Fail("it has no sections: there is nothing in it to load");
    }
    if (sectionCount_ > kMaxSections) {
      return Fail(
          Formatted("its headers are damaged: they list %llu sections, and Windows loads at "
                    "most %llu",
                    sectionCount_, kMaxSections));
    }
    // Each entry's last field ends the entry, so the fields all read exactly when the whole
    // table lies in the file.
    for (std::uint64_t i = 0; i < sectionCount_; ++i) {
      const std::uint64_t entry = sectionTable_ + i * kSectionHeaderSize;
      const std::optional<std::span<const std::uint8_t>> name = bytes_.Slice(entry, 8);
      const std::optional<std::uint32_t> virtualSize = bytes_.U32(entry + 8);
      const std::optional<std::uint32_t> virtualAddress = bytes_.U32(entry + 12);
      const std::optional<std::uint32_t> rawSize = bytes_.U32(entry + 16);
      const std::optional<std::uint32_t> rawOffset = bytes_.U32(entry + 20);
      const std::optional<std::uint32_t> characteristics =
          bytes_.U32(entry + kSectionHeaderSize - 4);
      if (!name || !virtualSize || !virtualAddress || !rawSize || !rawOffset || !characteristics) {
        return Fail("it is cut short: the file ends inside its section table");
      }
      sections_.push_back(
          {.name = std::string(name->begin(), std::find(name->begin(), name->end(), 0)),
           .virtualSize = *virtualSize,
           .virtualAddress = *virtualAddress,
           .rawSize = *rawSize,
           .rawOffset = *rawOffset,
           .characteristics = *characteristics});
    }
    tableEnd_ = sectionTable_ + sectionCount_ * kSectionHeaderSize;
    headersEnd_ = std::max<std::uint64_t>(sizeOfHeaders_, tableEnd_);
    return true;
  }

  bool CheckAlignment() {
    if (!IsPowerOfTwo(sectionAlignment_)) {
      return Fail(
          Formatted("its headers are damaged: the alignment of its sections in memory (%llu "
                    "bytes) is not a power of two",
                    sectionAlignment_));
    }
    if (sectionAlignment_ < fileAlignment_) {
      return Fail(
          Formatted("its headers are damaged: the alignment of its sections in memory (%llu "
                    "bytes) is smaller than in the file (%llu bytes)",
                    sectionAlignment_, fileAlignment_));
    }
    return true;
  }

  std::string Named(std::size_t index) const {
    return Formatted("section %llu", index + 1) + " (" + sections_[index].name + ")";
  }

  bool LayOut() {
    const std::uint64_t imageEnd = RoundUp(sizeOfImage_, sectionAlignment_);
    if (sectionTable_ + sectionCount_ * kSectionHeaderSize > imageEnd) {
      return Fail("its headers are damaged: its section table lies beyond the image's size");
    }
    if (sizeOfHeaders_ > sections_.front().virtualAddress) {
      return Fail(
          Formatted("its headers are damaged: they claim %llu bytes, more than lie before its "
                    "first section (at %llu)",
                    sizeOfHeaders_, sections_.front().virtualAddress));
    }
    if (sectionAlignment_ < kPageSize) {
      return LayOutFlat();
    }
    const std::uint64_t headers = std::min<std::uint64_t>(headersEnd_, bytes_.Size());
    regions_.push_back({0, RoundUp(headers, kPageSize), 0, headers});
    std::uint64_t needed = 0;  // where the sections' data ends in the file
    bool cut = false;          // some data lies past what the file's last sector holds
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      const SectionHeader& section = sections_[i];
      const std::uint64_t start = section.virtualAddress;
      const std::uint64_t size = RoundUp(
          section.virtualSize != 0 ? section.virtualSize : section.rawSize, sectionAlignment_);
      if (start % sectionAlignment_ != 0) {
        return Fail("its section table is damaged: " + Named(i) +
                    " does not start at a multiple of the sections' alignment");
      }
      if (i > 0) {
        const PeLayout::Region& previous = regions_.back();
        if (start != previous.rva + previous.size) {
          return Fail("its section table is damaged: " + Named(i - 1) + " and " + Named(i) +
                      (start < previous.rva + previous.size ? " overlap in memory"
                                                            : " leave a gap in memory"));
        }
      }
      if (start + size > imageEnd) {
        return Fail("its section table is damaged: " + Named(i) +
                    " runs past the end of the image its headers declare");
      }
      PeLayout::Region region{section.virtualAddress, size, 0, 0};
      if (section.rawSize != 0 && section.rawOffset != 0) {
        // Whole sectors from the one the data starts in, no more than the section maps.
        region.fileOffset = section.rawOffset & ~(kSectorSize - 1);
        region.fileSize = std::min(
            RoundUp(section.rawSize + (section.rawOffset & (kSectorSize - 1)), kSectorSize), size);
        needed = std::max(needed, region.fileOffset + region.fileSize);
        cut = cut || section.rawOffset >= bytes_.Size() ||
              region.fileOffset + region.fileSize > RoundUp(bytes_.Size(), kSectorSize);
        if ((section.characteristics & kSectionExecutable) != 0 && region.fileOffset < tableEnd_) {
          return Fail("its section table is damaged: the code of " + Named(i) +
                      " would be read from its headers");
        }
      }
      regions_.push_back(region);
    }
    if (cut) {
      return CutShort(needed);
    }
    return true;
  }

  // Below a page, the loader maps the file as it lies, so each section must lie in the file
  // where it lies in memory.
  bool LayOutFlat() {
    if (fileAlignment_ != sectionAlignment_) {
      return Fail(
          "its headers are damaged: its sections are aligned to less than a page in memory, "
          "but not as in the file");
    }
    std::uint64_t needed = 0;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      if (sections_[i].virtualAddress != sections_[i].rawOffset) {
        return Fail("its section table is damaged: " + Named(i) +
                    " lies elsewhere in memory than in the file, which an image aligned to "
                    "less than a page cannot do");
      }
      needed = std::max<std::uint64_t>(
          needed, std::uint64_t{sections_[i].rawOffset} + sections_[i].rawSize);
    }
    if (needed > bytes_.Size()) {
      return CutShort(needed);
    }
    const std::uint64_t size =
        std::min(RoundUp(sizeOfImage_, kPageSize), RoundUp(bytes_.Size(), kPageSize));
    regions_.push_back({0, size, 0, bytes_.Size()});
    return true;
  }

  bool CutShort(std::uint64_t needed) {
    return Fail(
        Formatted("it is cut short: its sections run to byte %llu, but the file ends at "
                  "byte %llu (a download or copy that did not finish)",
                  needed, bytes_.Size()));
  }

  // Windows starts a library at its entry point while loading it: that must be code the file
  // holds.
  bool CheckEntryPoint() {
    if (entryPoint_ == 0) {
      return true;
    }
    for (const PeLayout::Region& region : regions_) {
      if (entryPoint_ >= region.rva && entryPoint_ - region.rva < region.fileSize) {
        return true;
      }
    }
    return Fail(
        "its entry point (the code Windows runs as it loads it) lies outside the file's "
        "data");
  }

  CheckedBytes bytes_;
  std::span<const std::uint8_t> file_;
  std::string problem_;
  bool isDll_ = false;
  std::uint64_t sectionCount_ = 0;
  std::uint64_t sectionTable_ = 0;
  std::uint64_t tableEnd_ = 0;    // the end of the section table, the last header
  std::uint64_t headersEnd_ = 0;  // the headers' size, with the whole section table
  std::uint32_t entryPoint_ = 0;
  std::uint32_t sectionAlignment_ = 0;
  std::uint32_t fileAlignment_ = 0;
  std::uint32_t sizeOfImage_ = 0;
  std::uint32_t sizeOfHeaders_ = 0;
  PeDirectory directories_[kDirectoriesRead];
  std::vector<SectionHeader> sections_;
  std::vector<PeLayout::Region> regions_;
};

}  // namespace

PeLayout::PeLayout(std::vector<std::uint8_t> file, std::vector<Region> regions)
    : file_(std::move(file)), regions_(std::move(regions)) {}

std::optional<std::uint8_t> PeLayout::U8(std::uint64_t rva) const {
  for (const Region& region : regions_) {
    if (rva >= region.rva && rva - region.rva < region.size) {
      const std::uint64_t into = rva - region.rva;
      if (into >= region.fileSize) {
        return std::uint8_t{0};
      }
      // The file's last sector may be incomplete; its missing bytes read as zeros.
      const std::optional<std::span<const std::uint8_t>> byte =
          CheckedBytes(file_).Slice(region.fileOffset + into, 1);
      return byte ? (*byte)[0] : std::uint8_t{0};
    }
  }
  return std::nullopt;
}

bool PeLayout::Contains(std::uint32_t rva, std::uint64_t size) const {
  std::uint64_t at = rva;
  const std::uint64_t end = at + size;
  while (at < end) {
    const auto region = std::find_if(regions_.begin(), regions_.end(), [at](const Region& r) {
      return at >= r.rva && at - r.rva < r.size;
    });
    if (region == regions_.end()) {
      return false;
    }
    at = region->rva + region->size;
  }
  return true;
}

template <typename Integer>
std::optional<Integer> PeLayout::Read(std::uint32_t rva) const {
  Integer value = 0;
  for (std::size_t i = sizeof(Integer); i-- > 0;) {
    const std::optional<std::uint8_t> byte = U8(std::uint64_t{rva} + i);
    if (!byte) {
      return std::nullopt;
    }
    value = static_cast<Integer>((value << 8) | *byte);
  }
  return value;
}

std::optional<std::uint16_t> PeLayout::U16(std::uint32_t rva) const {
  return Read<std::uint16_t>(rva);
}

std::optional<std::uint32_t> PeLayout::U32(std::uint32_t rva) const {
  return Read<std::uint32_t>(rva);
}

std::optional<std::uint64_t> PeLayout::U64(std::uint32_t rva) const {
  return Read<std::uint64_t>(rva);
}

PeLayout::TextEnd PeLayout::Text(std::uint32_t rva, std::uint64_t maxLength,
                                 std::string& text) const {
  text.clear();
  for (std::uint64_t at = rva;; ++at) {
    const std::optional<std::uint8_t> byte = U8(at);
    if (!byte) {
      return TextEnd::kUnmapped;
    }
    if (*byte == 0) {
      return TextEnd::kEnded;
    }
    if (text.size() == maxLength) {
      return TextEnd::kTooLong;
    }
    text += static_cast<char>(*byte);
  }
}

PeLayoutReading ReadPeLayout(std::span<const std::uint8_t> file) {
  return HeaderReader(file).Read();
}

PeKind ReadPeKind(std::span<const std::uint8_t> start) {
  const CheckedBytes bytes(start);
  const std::optional<std::uint16_t> signature = bytes.U16(0);
  const std::optional<std::uint32_t> peOffset = bytes.U32(0x3C);
  if (!signature || *signature != 0x5A4D || !peOffset) {
    return PeKind::kNotAnImage;
  }
  const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
  const std::optional<std::uint32_t> peSignature = bytes.U32(*peOffset);
  const std::optional<std::uint16_t> machine = bytes.U16(coff);
  const std::optional<std::uint16_t> characteristics = bytes.U16(coff + 18);
  const std::optional<std::uint16_t> magic = bytes.U16(coff + kCoffHeaderSize);
  if (!peSignature || *peSignature != 0x00004550 || !machine || !characteristics || !magic) {
    return PeKind::kNotAnImage;
  }
  if (*machine != kMachineAmd64 || *magic != kMagicPe32Plus) {
    return PeKind::kOther;
  }
  return (*characteristics & kCharacteristicDll) != 0 ? PeKind::kLibrary64 : PeKind::kProgram64;
}
