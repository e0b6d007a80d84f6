// The export lookups. The loader compares names with strcmp, reading an exported name only up to
// the first byte that differs, and computes the binary search's bounds in signed 32-bit numbers
// (so a name count above 2^31 searches nothing); both are followed here, since they decide
// which entries it reads and what it finds.
#include "binary_reader/pe_exports.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::uint32_t kExportDirectorySize = 40;
constexpr std::uint64_t kMaxForwarderLength = 4096;

struct ExportDirectory {
  std::uint32_t base = 0;
  std::uint32_t functionCount = 0;
  std::uint32_t nameCount = 0;
  std::uint32_t functionsRva = 0;
  std::uint32_t namesRva = 0;
  std::uint32_t ordinalsRva = 0;
};

PeExportTarget Damaged(std::string problem) {
  PeExportTarget target;
  target.kind = PeExportTarget::Kind::kDamaged;
  target.problem = std::move(problem);
  return target;
}

std::optional<ExportDirectory> ReadDirectory(const PeLayout& library) {
  const std::uint32_t at = library.exports.rva;
  const std::optional<std::uint32_t> base = library.U32(at + 16);
  const std::optional<std::uint32_t> functionCount = library.U32(at + 20);
  const std::optional<std::uint32_t> nameCount = library.U32(at + 24);
  const std::optional<std::uint32_t> functionsRva = library.U32(at + 28);
  const std::optional<std::uint32_t> namesRva = library.U32(at + 32);
  const std::optional<std::uint32_t> ordinalsRva = library.U32(at + 36);
  if (!library.Contains(at, kExportDirectorySize) || !base || !functionCount || !nameCount ||
      !functionsRva || !namesRva || !ordinalsRva) {
    return std::nullopt;
  }
  return ExportDirectory{.base = *base,
                         .functionCount = *functionCount,
                         .nameCount = *nameCount,
                         .functionsRva = *functionsRva,
                         .namesRva = *namesRva,
                         .ordinalsRva = *ordinalsRva};
}

// The address of entry `index` of a table of `size`-byte entries; nothing past 4 GiB.
std::optional<std::uint32_t> Entry(std::uint32_t table, std::uint64_t index, std::uint64_t size) {
  const std::uint64_t at = table + index * size;
  if (at > 0xFFFFFFFF) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(at);
}

// strcmp(exported name at rva, name) as the loader calls it; nothing when it would read a byte
// that is not mapped.
std::optional<int> Compare(const PeLayout& library, std::uint32_t rva, const std::string& name) {
  for (std::uint64_t i = 0;; ++i) {
    const std::optional<std::uint8_t> byte = library.U8(std::uint64_t{rva} + i);
    if (!byte) {
      return std::nullopt;
    }
    const auto wanted = static_cast<std::uint8_t>(i < name.size() ? name[i] : 0);
    if (*byte != wanted || *byte == 0) {
      return int{*byte} - int{wanted};
    }
  }
}

// The result of looking at entry `position` of the name table.
struct NameProbe {
  std::optional<int> order;  // the exported name compared with the one sought
  std::string problem;
};

NameProbe ProbeName(const PeLayout& library, const ExportDirectory& directory,
                    std::uint64_t position, const std::string& name) {
  const std::optional<std::uint32_t> entry = Entry(directory.namesRva, position, 4);
  const std::optional<std::uint32_t> nameRva = entry ? library.U32(*entry) : std::nullopt;
  if (!nameRva) {
    return {std::nullopt, "its table of exported names lies outside the file's data"};
  }
  const std::optional<int> order = Compare(library, *nameRva, name);
  if (!order) {
    return {std::nullopt, "exported name number " + std::to_string(position + 1) +
                              " lies outside the file's data"};
  }
  return {order, ""};
}

PeExportTarget AtNamePosition(const PeLayout& library, const ExportDirectory& directory,
                              std::uint64_t position) {
  const std::optional<std::uint32_t> entry = Entry(directory.ordinalsRva, position, 2);
  const std::optional<std::uint16_t> index = entry ? library.U16(*entry) : std::nullopt;
  if (!index) {
    return Damaged("its export ordinal table lies outside the file's data");
  }
  return FindExportAtIndex(library, *index);
}

}  // namespace

PeExportTarget FindExportAtIndex(const PeLayout& library, std::uint32_t index) {
  if (library.exports.rva == 0) {
    return {};
  }
  const std::optional<ExportDirectory> directory = ReadDirectory(library);
  if (!directory) {
    return Damaged("its export table lies outside the file's data");
  }
  if (index >= directory->functionCount) {
    return {};
  }
  const std::optional<std::uint32_t> entry = Entry(directory->functionsRva, index, 4);
  const std::optional<std::uint32_t> rva = entry ? library.U32(*entry) : std::nullopt;
  if (!rva) {
    return Damaged("its export address table lies outside the file's data");
  }
  PeExportTarget target;
  if (*rva == 0) {
    return target;
  }
  const std::uint64_t exportsStart = library.exports.rva;
  if (*rva >= exportsStart && *rva < exportsStart + library.exports.size) {
    switch (library.Text(*rva, kMaxForwarderLength, target.forwarder)) {
      case PeLayout::TextEnd::kUnmapped:
        return Damaged("a forwarder in its export table lies outside the file's data");
      case PeLayout::TextEnd::kTooLong:
        return Damaged("a forwarder in its export table never ends");
      case PeLayout::TextEnd::kEnded:
        break;
    }
    target.kind = PeExportTarget::Kind::kForwarder;
    return target;
  }
  target.kind = PeExportTarget::Kind::kAddress;
  target.rva = *rva;
  return target;
}

PeExportTarget FindExport(const PeLayout& library, const std::string& name,
                          std::optional<std::uint32_t> hint) {
  if (library.exports.rva == 0) {
    return {};
  }
  const std::optional<ExportDirectory> directory = ReadDirectory(library);
  if (!directory) {
    return Damaged("its export table lies outside the file's data");
  }
  if (hint && *hint < directory->nameCount) {
    const NameProbe probe = ProbeName(library, *directory, *hint, name);
    if (!probe.order) {
      return Damaged(probe.problem);
    }
    if (*probe.order == 0) {
      return AtNamePosition(library, *directory, *hint);
    }
  }
  std::int64_t low = 0;
  std::int64_t high = static_cast<std::int32_t>(directory->nameCount - 1);
  while (low <= high) {
    const std::int64_t position = (low + high) / 2;
    const NameProbe probe =
        ProbeName(library, *directory, static_cast<std::uint64_t>(position), name);
    if (!probe.order) {
      return Damaged(probe.problem);
    }
    if (*probe.order == 0) {
      return AtNamePosition(library, *directory, static_cast<std::uint64_t>(position));
    }
    if (*probe.order > 0) {
      high = position - 1;
    } else {
      low = position + 1;
    }
  }
  return {};
}

PeExportTarget FindExportByOrdinal(const PeLayout& library, std::uint32_t ordinal) {
  if (library.exports.rva == 0) {
    return {};
  }
  const std::optional<ExportDirectory> directory = ReadDirectory(library);
  if (!directory) {
    return Damaged("its export table lies outside the file's data");
  }
  return FindExportAtIndex(library, ordinal - directory->base);
}

std::optional<PeForwarder> ParseForwarder(const std::string& text) {
  const std::size_t dot = text.rfind('.');
  if (dot == std::string::npos) {
    return std::nullopt;
  }
  PeForwarder forwarder;
  forwarder.library = text.substr(0, dot);
  forwarder.library.erase(forwarder.library.find_last_not_of(' ') + 1);
  if (forwarder.library.find('.') == std::string::npos) {
    forwarder.library += ".dll";
  }
  const std::string function = text.substr(dot + 1);
  if (!function.empty() && function[0] == '#') {
    // As atoi reads it: digits after an optional sign, none giving 0.
    std::size_t i = 1;
    const bool negative = i < function.size() && function[i] == '-';
    i += (negative || (i < function.size() && function[i] == '+')) ? 1 : 0;
    std::int64_t value = 0;
    for (; i < function.size() && std::isdigit(static_cast<unsigned char>(function[i])); ++i) {
      value = std::min<std::int64_t>(value * 10 + (function[i] - '0'), 0x7FFFFFFF);
    }
    forwarder.ordinal = static_cast<std::uint32_t>(negative ? -value : value);
  } else {
    forwarder.function = function;
  }
  return forwarder;
}
