// The cases, grouped by the structure they damage. Each case changes as little as it can: one
// field, one entry, or one cut; the forwarder cases also write their text over the exporting
// library's own name, which no loader reads, so that it lies inside the export directory.
#include "damage_cases.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace agreement {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& bytes, std::uint64_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, std::uint64_t at, std::uint32_t value) {
  Put16(bytes, at, static_cast<std::uint16_t>(value));
  Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

void Put64(Bytes& bytes, std::uint64_t at, std::uint64_t value) {
  Put32(bytes, at, static_cast<std::uint32_t>(value));
  Put32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

std::uint32_t Get32(const Bytes& bytes, std::uint64_t at) {
  return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
                                    static_cast<std::uint32_t>(bytes.at(at + 3)) << 24);
}

// A name's letters and digits before its extension, in lower case: "KERNEL32.dll" ->
// "kernel32", ".text" -> "text".
std::string Tag(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
  std::string tag;
  for (const char c : stem) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      tag += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return tag;
}

// How cases name a section: by its name, or by its number when the name is kept elsewhere
// ("/4" points into the symbol table).
std::string SectionTag(const ImageFields& image, const SectionFields& section) {
  if (section.name.empty() || section.name[0] == '/') {
    const auto index = (section.header - image.sectionTable) / 40;
    return "section" + std::to_string(index + 1);
  }
  return Tag(section.name);
}

class CaseList {
 public:
  explicit CaseList(const DamagedImage& image) : image_(image), fields_(image.fields) {}

  std::vector<DamageCase> Build() {
    Headers();
    Directories();
    if (fields_.exports) {
      ExportDirectory();
      if (image_.tag == "host") {
        for (const auto& [function, tag] : image_.chosenFunctions) {
          ExportEntries(function, tag);
        }
      }
    }
    for (std::size_t i = 0; i < fields_.imports.size(); ++i) {
      ImportDescriptor(i);
    }
    ImportEntries();
    for (const SectionFields& section : ChosenSections()) {
      Section(section);
    }
    Cuts();
    return std::move(cases_);
  }

 private:
  void Add(const std::string& what, std::function<void(Bytes&)> damage) {
    cases_.push_back({image_.tag + "-" + what, std::move(damage)});
  }
  void Set16(const std::string& what, std::uint64_t at, std::uint16_t value) {
    Add(what, [at, value](Bytes& b) { Put16(b, at, value); });
  }
  void Set32(const std::string& what, std::uint64_t at, std::uint32_t value) {
    Add(what, [at, value](Bytes& b) { Put32(b, at, value); });
  }
  void Set64(const std::string& what, std::uint64_t at, std::uint64_t value) {
    Add(what, [at, value](Bytes& b) { Put64(b, at, value); });
  }
  // A table address set past the image's end, to zero, onto another table, and onto itself.
  void Address(const std::string& what, std::uint64_t at, std::uint32_t other, std::uint32_t self) {
    Set32(what + "-past-end", at, fields_.sizeOfImage);
    Set32(what + "-zero", at, 0);
    Set32(what + "-overlap", at, other);
    Set32(what + "-self", at, self);
  }

  // A count set to zero, one less (when that is not zero), one more, and far too many.
  void Count(const std::string& what, std::uint64_t at, std::uint32_t count) {
    Set32(what + "-zero", at, 0);
    if (count > 1) {
      Set32(what + "-one-less", at, count - 1);
    }
    Set32(what + "-one-more", at, count + 1);
    Set32(what + "-huge", at, 0xFFFFFFFF);
  }

  void Headers() {
    const ImageFields& f = fields_;
    const auto sections = static_cast<std::uint16_t>(f.sections.size());
    Set32("pe-offset-past-end", 0x3C, static_cast<std::uint32_t>(f.fileSize + 16));
    Set32("pe-offset-zero", 0x3C, 0);
    Set16("section-count-zero", f.coffHeader + 2, 0);
    Set16("section-count-one-less", f.coffHeader + 2, static_cast<std::uint16_t>(sections - 1));
    Set16("section-count-one-more", f.coffHeader + 2, static_cast<std::uint16_t>(sections + 1));
    Set16("section-count-97", f.coffHeader + 2, 97);
    Set16("optional-size-zero", f.coffHeader + 16, 0);
    Set16("optional-size-pe32", f.coffHeader + 16, 0xE0);
    Set16("optional-size-plus-8", f.coffHeader + 16,
          static_cast<std::uint16_t>(f.optionalSize + 8));
    Set16("optional-size-huge", f.coffHeader + 16, 0xFFFF);
    Set32("image-size-zero", f.Optional(56), 0);
    Set32("image-size-short", f.Optional(56), f.sections.back().virtualAddress);
    Set32("image-size-unaligned", f.Optional(56), f.sizeOfImage + 1);
    Set32("image-size-huge", f.Optional(56), 0x7FFFF000);
    Set32("headers-size-zero", f.Optional(60), 0);
    Set32("headers-size-unaligned", f.Optional(60), f.sizeOfHeaders + 1);
    Set32("headers-size-huge", f.Optional(60), 0x01000000);
    Set32("section-alignment-zero", f.Optional(32), 0);
    Set32("section-alignment-of-file", f.Optional(32), f.fileAlignment);
    Set32("section-alignment-not-power-of-two", f.Optional(32), 0x1800);
    Set32("file-alignment-zero", f.Optional(36), 0);
    Set32("file-alignment-above-section", f.Optional(36), f.sectionAlignment * 2);
    Set32("file-alignment-not-power-of-two", f.Optional(36), 0x300);
  }

  void Directories() {
    const ImageFields& f = fields_;
    const char* names[] = {"export", "import"};
    for (unsigned d = 0; d < 2; ++d) {
      const std::string what = std::string("dir-") + names[d];
      const std::uint32_t other = Get32Field(f.Directory(1 - d));
      Address(what + "-address", f.Directory(d), other, f.RvaOf(f.Directory(d)));
      Set32(what + "-address-far", f.Directory(d), 0xFFFFFF00);
      Set32(what + "-size-zero", f.Directory(d) + 4, 0);
      Set32(what + "-size-one", f.Directory(d) + 4, 1);
      Set32(what + "-size-huge", f.Directory(d) + 4, 0xFFFFFFFF);
    }
    Set32("dir-iat-address-zero", f.Directory(12), 0);
    Set32("dir-iat-address-past-end", f.Directory(12), f.sizeOfImage);
    Set32("dir-count-zero", f.Optional(108), 0);
    Set32("dir-count-one", f.Optional(108), 1);
    Set32("dir-count-huge", f.Optional(108), 0xFFFFFFFF);
  }

  void ExportDirectory() {
    const ExportFields& e = *fields_.exports;
    const std::uint64_t d = e.directory;
    Set32("export-name-past-end", d + 12, fields_.sizeOfImage);
    Set32("export-name-zero", d + 12, 0);
    Set32("export-name-self", d + 12, e.directoryRva);
    Set32("export-base-zero", d + 16, 0);
    Set32("export-base-huge", d + 16, 0xFFFFFF00);
    Set32("export-base-plus-1000", d + 16, e.base + 1000);
    Count("export-function-count", d + 20, e.functionCount);
    Count("export-name-count", d + 24, e.nameCount);
    Address("export-addresses", d + 28, e.namesRva, e.directoryRva);
    Address("export-names", d + 32, e.ordinalsRva, e.directoryRva);
    Address("export-ordinals", d + 36, e.functionsRva, e.directoryRva);
  }

  // The entries of one exported function: its name pointer, its ordinal, its address, and
  // forwarders in place of its address.
  void ExportEntries(const std::string& function, const std::string& tag) {
    const ExportFields& e = *fields_.exports;
    const auto found = std::find(e.names.begin(), e.names.end(), function);
    if (found == e.names.end() || found + 1 == e.names.end()) {
      throw std::runtime_error("the host does not export " + function + " with a name after it");
    }
    const auto index = static_cast<std::uint32_t>(found - e.names.begin());
    const std::uint64_t namePointer = fields_.OffsetOf(e.namesRva) + 4 * index;
    const std::uint64_t ordinal = fields_.OffsetOf(e.ordinalsRva) + 2 * index;
    const std::uint32_t nextName = Get32Field(namePointer + 4);
    const std::string what = "export-" + tag;
    Set32(what + "-name-past-end", namePointer, fields_.sizeOfImage);
    Set32(what + "-name-zero", namePointer, 0);
    Set32(what + "-name-of-next", namePointer, nextName);
    Add("export-names-out-of-order-at-" + tag, [namePointer, nextName](Bytes& b) {
      Put32(b, namePointer + 4, Get32(b, namePointer));
      Put32(b, namePointer, nextName);
    });
    Set16(what + "-ordinal-past-end", ordinal, 0xFFFF);
    Set16(what + "-ordinal-of-next", ordinal, Get16Field(ordinal + 2));
    const std::uint64_t address = fields_.OffsetOf(e.functionsRva) + 4 * Get16Field(ordinal);
    Set32(what + "-address-zero", address, 0);
    Set32(what + "-address-past-end", address, fields_.sizeOfImage + 0x100);

    const std::uint32_t ownOrdinal = e.base + Get16Field(ordinal);
    const std::string stem = e.libraryName.substr(0, e.libraryName.rfind('.'));
    const struct {
      const char* what;
      std::string text;
    } forwarders[] = {
        {"system", "KERNEL32.GetTickCount"},  {"missing-library", "Missing.Function"},
        {"own-ordinal", stem + ".#1"},        {"itself", stem + ".#" + std::to_string(ownOrdinal)},
        {"ordinal-below-base", stem + ".#0"}, {"missing-function", stem + ".dll"},
        {"without-dot", "NoLibraryNamed"},
    };
    const std::uint64_t nameSlot = fields_.OffsetOf(e.nameRva);
    const std::size_t slotLength = e.libraryName.size();
    for (const auto& forwarder : forwarders) {
      if (forwarder.text.size() > slotLength) {
        throw std::runtime_error("the forwarder " + forwarder.text + " does not fit");
      }
      const std::string text = forwarder.text;
      const std::uint32_t nameRva = e.nameRva;
      Add(what + "-forward-to-" + forwarder.what, [=](Bytes& b) {
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(nameSlot),
                  b.begin() + static_cast<std::ptrdiff_t>(nameSlot + slotLength), 0);
        std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(nameSlot));
        Put32(b, address, nameRva);
      });
    }
  }

  void ImportDescriptor(std::size_t i) {
    const std::vector<ImportFields>& imports = fields_.imports;
    const ImportFields& import = imports[i];
    const ImportFields& other = imports[(i + 1) % imports.size()];
    const std::string what = "import-" + Tag(import.library);
    Address(what + "-lookup", import.descriptor, other.lookupRva, import.descriptorRva);
    Address(what + "-name", import.descriptor + 12, other.nameRva, import.descriptorRva);
    Address(what + "-iat", import.descriptor + 16, other.addressRva, import.descriptorRva);
    if (i == 0) {
      const std::uint64_t end = imports.back().descriptor + 20;
      const std::uint64_t first = import.descriptor;
      Add("import-table-unterminated", [end, first](Bytes& b) {
        std::copy(b.begin() + static_cast<std::ptrdiff_t>(first),
                  b.begin() + static_cast<std::ptrdiff_t>(first + 20),
                  b.begin() + static_cast<std::ptrdiff_t>(end));
      });
    }
  }

  // The lookup entries of the chosen functions wherever the image imports them (the plug-in,
  // from the host), and in the host the first function it takes from its first library.
  void ImportEntries() {
    for (const ImportFields& import : fields_.imports) {
      for (std::size_t j = 0; j < import.functions.size(); ++j) {
        for (const auto& [function, tag] : image_.chosenFunctions) {
          if (import.functions[j] == function) {
            ImportEntry(import, j, tag);
          }
        }
      }
    }
    if (image_.tag == "host" && !fields_.imports.empty()) {
      const ImportFields& first = fields_.imports.front();
      const std::uint64_t entry = fields_.OffsetOf(first.lookupRva);
      Set64("import-" + Tag(first.library) + "-entry-first-past-end", entry, fields_.sizeOfImage);
      Set64("import-" + Tag(first.library) + "-entry-first-zero", entry, 0);
    }
  }

  void ImportEntry(const ImportFields& import, std::size_t j, const std::string& tag) {
    const std::uint64_t entry = fields_.OffsetOf(import.lookupRva) + 8 * j;
    const std::uint64_t slot = fields_.OffsetOf(import.addressRva) + 8 * j;
    const std::uint32_t hintName = Get32Field(entry);
    const std::string what = "import-entry-" + tag;
    Set64(what + "-past-end", entry, fields_.sizeOfImage);
    Set64(what + "-zero", entry, 0);
    Set64(what + "-by-ordinal", entry, (1ull << 63) | 1);
    Set16(what + "-wrong-hint", fields_.OffsetOf(hintName), 0xFFFF);
    Set64(what + "-high-bits", entry, (1ull << 40) | hintName);
    const ImportFields& system = fields_.imports.front();
    Set64(what + "-name-of-" + Tag(system.library), entry,
          Get32Field(fields_.OffsetOf(system.lookupRva)));
    Set64("import-iat-entry-" + tag + "-zero", slot, 0);
  }

  // The first section, the ones holding the export and import tables, and the last.
  std::vector<SectionFields> ChosenSections() const {
    std::vector<SectionFields> chosen = {fields_.sections.front()};
    const auto add = [&chosen](const SectionFields& section) {
      if (std::none_of(chosen.begin(), chosen.end(),
                       [&](const SectionFields& s) { return s.header == section.header; })) {
        chosen.push_back(section);
      }
    };
    if (fields_.exports) {
      add(fields_.SectionOf(fields_.exports->directoryRva));
    }
    if (!fields_.imports.empty()) {
      add(fields_.SectionOf(fields_.imports.front().descriptorRva));
    }
    add(fields_.sections.back());
    return chosen;
  }

  // The last section goes by "last": its name and number change with the build.
  void Section(const SectionFields& section) {
    const std::uint64_t h = section.header;
    const auto index = static_cast<std::size_t>((h - fields_.sectionTable) / 40);
    const std::string what =
        "section-" + (index + 1 == fields_.sections.size() ? "last" : SectionTag(fields_, section));
    Set32(what + "-virtual-size-zero", h + 8, 0);
    Set32(what + "-virtual-size-one", h + 8, 1);
    Set32(what + "-virtual-size-huge", h + 8, 0x7FFFFFFF);
    Set32(what + "-virtual-size-into-next", h + 8,
          section.virtualSize + 2 * fields_.sectionAlignment);
    Set32(what + "-address-zero", h + 12, 0);
    Set32(what + "-address-past-end", h + 12, fields_.sizeOfImage);
    if (index > 0) {
      Set32(what + "-address-of-previous", h + 12, fields_.sections[index - 1].virtualAddress);
    }
    Set32(what + "-address-unaligned", h + 12, section.virtualAddress + 0x10);
    Set32(what + "-raw-size-zero", h + 16, 0);
    Set32(what + "-raw-size-huge", h + 16, 0x7FFFFE00);
    Set32(what + "-raw-size-past-file-end", h + 16,
          static_cast<std::uint32_t>(fields_.fileSize - section.rawOffset + 0x200));
    Set32(what + "-raw-offset-zero", h + 20, 0);
    Set32(what + "-raw-offset-past-file-end", h + 20, static_cast<std::uint32_t>(fields_.fileSize));
    Set32(what + "-raw-offset-unaligned", h + 20, section.rawOffset + 1);
    Set32(what + "-raw-offset-in-headers", h + 20, 0x200);
  }

  void Cut(const std::string& where, std::uint64_t length) {
    Add("cut-at-" + where, [length](Bytes& b) { b.resize(length); });
  }

  void Cuts() {
    const ImageFields& f = fields_;
    Cut("dos-header", 0x30);
    Cut("pe-signature", f.peHeader + 2);
    Cut("coff-header", f.coffHeader + 10);
    Cut("optional-header", f.optionalHeader + 60);
    Cut("data-directories", f.Directory(1));
    Cut("section-table", f.sectionTable + 40 * (f.sections.size() / 2) + 12);
    Cut("section-table-end", f.sectionTable + 40 * f.sections.size());
    Cut("headers-end", f.sizeOfHeaders);
    std::uint64_t end = 0;
    for (const SectionFields& section : f.sections) {
      if (section.rawSize == 0) {
        continue;
      }
      const std::string tag = SectionTag(f, section);
      Cut(tag + "-start", section.rawOffset);
      Cut(tag + "-middle", section.rawOffset + section.rawSize / 2);
      Cut(tag + "-end-less-one", section.rawOffset + section.rawSize - 1);
      end = std::max<std::uint64_t>(end, section.rawOffset + section.rawSize);
    }
    if (f.exports) {
      Cut("export-directory", f.exports->directory + 20);
    }
    if (!f.imports.empty()) {
      Cut("import-descriptors-end", f.imports.back().descriptor + 20);
    }
    if (end < f.fileSize) {
      Cut("last-section-end", end);
    }
  }

  std::uint32_t Get32Field(std::uint64_t at) const { return Get32(image_.bytes, at); }
  std::uint16_t Get16Field(std::uint64_t at) const {
    return static_cast<std::uint16_t>(image_.bytes.at(at) | image_.bytes.at(at + 1) << 8);
  }

  const DamagedImage& image_;
  const ImageFields& fields_;
  std::vector<DamageCase> cases_;
};

}  // namespace

std::vector<DamageCase> DamageCases(const DamagedImage& image) {
  return CaseList(image).Build();
}

}  // namespace agreement
