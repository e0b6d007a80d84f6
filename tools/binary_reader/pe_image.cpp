// The import table, walked in the loaded image as the loader walks it: descriptors up to the
// first without a library name or an address list; for each, the library's name, the list of
// functions (the lookup list, or the address list when there is none) up to its zero entry,
// each function's hint and name, and the address list the loader fills, which must lie in the
// image with no entry left over. No two lists may share memory with each other or with the
// descriptors: the loader would write one library's addresses over another's entries. And no
// entry of the table of addresses the headers give may be left unfilled. Counts beyond what
// any real image holds end the walk as damage.
#include "binary_reader/pe_image.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <tuple>

#include "sentences/text.h"

namespace {

constexpr std::uint64_t kImportDescriptorSize = 20;
constexpr std::uint64_t kImportEntrySize = 8;
constexpr std::uint64_t kOrdinalFlag = 1ull << 63;
constexpr std::uint64_t kHintNameRvaLimit = 0x80000000;  // bits 31 to 62 of an entry are zero

constexpr std::uint32_t kMaxLibraries = 4096;   // import descriptors
constexpr std::uint32_t kMaxFunctions = 65536;  // imports in all
constexpr std::uint64_t kMaxLibraryNameLength = 260;
constexpr std::uint64_t kMaxFunctionNameLength = 4096;
constexpr std::uint64_t kMaxNameBytes = 16 << 20;        // all names together
constexpr std::uint32_t kMaxAddressTableSize = 1 << 20;  // 131072 entries

// A stretch of memory one import structure occupies, and what to call it.
struct Extent {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  std::string what;
};

class ImportReader {
 public:
  explicit ImportReader(const PeLayout& layout) : layout_(layout) {}

  std::string Read(std::vector<PeImportedLibrary>& imports) {
    if (layout_.imports.rva == 0) {
      return "";
    }
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> seen;
    std::uint64_t count = 0;
    for (;; ++count) {
      if (count == kMaxLibraries) {
        return "its import table never ends";
      }
      const std::uint64_t entry = layout_.imports.rva + count * kImportDescriptorSize;
      if (entry > 0xFFFFFFFF ||
          !layout_.Contains(static_cast<std::uint32_t>(entry), kImportDescriptorSize)) {
        return "its import table lies outside the file's data";
      }
      const auto at = static_cast<std::uint32_t>(entry);
      const std::optional<std::uint32_t> lookupField = layout_.U32(at);
      const std::optional<std::uint32_t> nameField = layout_.U32(at + 12);
      const std::optional<std::uint32_t> addressField = layout_.U32(at + 16);
      if (!lookupField || !nameField || !addressField) {
        return "its import table lies outside the file's data";
      }
      const std::uint32_t lookupRva = *lookupField;
      const std::uint32_t nameRva = *nameField;
      const std::uint32_t addressRva = *addressField;
      if (nameRva == 0 || addressRva == 0) {
        break;
      }
      // A descriptor repeated binds the same entries to the same functions again.
      if (!seen.insert({lookupRva, nameRva, addressRva}).second) {
        continue;
      }
      PeImportedLibrary library;
      std::string problem =
          Text(nameRva, kMaxLibraryNameLength,
               Formatted("the name of imported library %llu", count + 1), library.name);
      if (problem.empty()) {
        const std::string named =
            library.name.empty() ? Formatted("imported library %llu", count + 1) : library.name;
        problem =
            ReadFunctions(lookupRva != 0 ? lookupRva : addressRva, addressRva, named, library);
      }
      if (!problem.empty()) {
        return problem;
      }
      imports.push_back(std::move(library));
    }
    // The loader reads no more of the entry that ends the table than its name and its list.
    extents_.push_back({layout_.imports.rva, layout_.imports.rva + count * kImportDescriptorSize,
                        "its import table"});
    std::string problem = Overlaps();
    return problem.empty() ? Unfilled() : problem;
  }

 private:
  // The text at an RVA, counted against the limit on all names together.
  std::string Text(std::uint32_t rva, std::uint64_t maxLength, const std::string& what,
                   std::string& text) {
    switch (layout_.Text(rva, maxLength, text)) {
      case PeLayout::TextEnd::kUnmapped:
        return what + " lies outside the file's data";
      case PeLayout::TextEnd::kTooLong:
        return what + " never ends";
      case PeLayout::TextEnd::kEnded:
        break;
    }
    nameBytes_ += text.size();
    if (nameBytes_ > kMaxNameBytes) {
      return "its name tables are damaged: their names add up to more than " +
             Mebibytes(kMaxNameBytes);
    }
    return "";
  }

  // The functions taken from the library that sentences call `named`.
  std::string ReadFunctions(std::uint32_t listRva, std::uint32_t addressRva,
                            const std::string& named, PeImportedLibrary& library) {
    const std::string list = "the list of functions it imports from " + named;
    std::uint64_t count = 0;
    for (;; ++count) {
      const std::uint64_t at = listRva + count * kImportEntrySize;
      const std::optional<std::uint64_t> entry =
          at > 0xFFFFFFFF ? std::nullopt : layout_.U64(static_cast<std::uint32_t>(at));
      if (!entry) {
        return list + (count == 0 ? " lies outside the file's data" : " never ends");
      }
      if (*entry == 0) {
        break;
      }
      if (++functions_ > kMaxFunctions) {
        return "its import table is damaged: it lists more than " + std::to_string(kMaxFunctions) +
               " functions";
      }
      PeImport function;
      if ((*entry & kOrdinalFlag) != 0) {
        function.ordinal = static_cast<std::uint16_t>(*entry);
      } else if (*entry >= kHintNameRvaLimit) {
        return list + " holds a damaged entry";
      } else {
        const auto hintRva = static_cast<std::uint32_t>(*entry);
        const std::optional<std::uint16_t> hint = layout_.U16(hintRva);
        if (!hint) {
          return "a function name in " + list + " lies outside the file's data";
        }
        function.hint = *hint;
        std::string problem =
            Text(hintRva + 2, kMaxFunctionNameLength, "a function name in " + list, function.name);
        if (!problem.empty()) {
          return problem;
        }
      }
      library.functions.push_back(std::move(function));
    }
    // The loader writes an address for each entry into the address list, which must hold them
    // and end where the list of functions ends: entries past that would never be filled.
    const std::uint64_t addresses = addressRva;
    const std::uint64_t end = addresses + (count + 1) * kImportEntrySize;
    const std::string addressList = "the address list for " + named;
    const std::optional<std::uint64_t> last =
        end > 0x100000000 ? std::nullopt
                          : layout_.U64(static_cast<std::uint32_t>(end - kImportEntrySize));
    if (!last || !layout_.Contains(addressRva, (count + 1) * kImportEntrySize)) {
      return addressList + " lies outside the file's data";
    }
    if (*last != 0) {
      return list + " ends before " + addressList + " does";
    }
    extents_.push_back({addresses, end, addressList});
    filled_.push_back({addresses, end - kImportEntrySize, addressList});
    if (listRva != addressRva) {
      extents_.push_back({listRva, listRva + (count + 1) * kImportEntrySize, list});
    }
    return "";
  }

  std::string Overlaps() {
    std::stable_sort(extents_.begin(), extents_.end(),
                     [](const Extent& a, const Extent& b) { return a.start < b.start; });
    const Extent* reaching = nullptr;  // of those seen, the one that ends last
    for (const Extent& extent : extents_) {
      if (reaching != nullptr && extent.start < reaching->end) {
        return "its import table is damaged: " + reaching->what + " and " + extent.what +
               " overlap";
      }
      if (reaching == nullptr || extent.end > reaching->end) {
        reaching = &extent;
      }
    }
    return "";
  }

  // The headers say where all address lists lie; an entry there that no list covers is never
  // filled by the loader, and a call through it crashes. (A table cut short by an entry without
  // a name leaves the lists of the libraries after it so.)
  std::string Unfilled() {
    const PeDirectory& table = layout_.importAddresses;
    if (table.rva == 0 || table.size > kMaxAddressTableSize ||
        !layout_.Contains(table.rva, table.size)) {
      return "";
    }
    std::sort(filled_.begin(), filled_.end(),
              [](const Extent& a, const Extent& b) { return a.start < b.start; });
    for (std::uint64_t at = table.rva; at + kImportEntrySize <= table.rva + table.size;
         at += kImportEntrySize) {
      // The last list starting at or before `at`; lists do not overlap (checked before).
      const auto after =
          std::upper_bound(filled_.begin(), filled_.end(), at,
                           [](std::uint64_t a, const Extent& e) { return a < e.start; });
      const bool covered = after != filled_.begin() && at < std::prev(after)->end;
      const std::optional<std::uint64_t> entry = layout_.U64(static_cast<std::uint32_t>(at));
      if (!covered && entry && *entry != 0) {
        return "its import table is damaged: its table of addresses holds entries that no "
               "import fills";
      }
    }
    return "";
  }

  const PeLayout& layout_;
  std::vector<Extent> extents_;
  std::vector<Extent> filled_;  // the address lists' entries the loader fills
  std::uint32_t functions_ = 0;
  std::uint64_t nameBytes_ = 0;
};

}  // namespace

PeReading ReadPeImage(std::span<const std::uint8_t> file) {
  PeReading reading;
  PeLayoutReading layout = ReadPeLayout(file);
  if (!layout.layout) {
    reading.problem = std::move(layout.problem);
    return reading;
  }
  reading.image.isDll = layout.layout->isDll;
  reading.problem = ImportReader(*layout.layout).Read(reading.image.imports);
  reading.image.layout = std::move(layout.layout);
  return reading;
}
