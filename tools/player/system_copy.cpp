// Reads the system's copy with the same reader as the game folder's files, so that a system
// folder that cannot be read, or a copy that is no image, is said as such rather than guessed.
// Only its export table is wanted: a copy whose import table this reader refuses is the system's
// own all the same, which the system's loader takes (Wine lays out its own DLLs so).
#include "player/system_copy.h"

#include "player/arguments.h"
#include "player/file_bytes.h"
#include "player/system_facts.h"
#include "sentences/text.h"

namespace {

// No export name a linker writes comes near this length.
constexpr std::uint64_t kMaxExportName = 4096;
// More names than any system library exports: a count beyond it is damage, and reading stops.
constexpr std::uint32_t kMaxExportNames = 1u << 16;

}  // namespace

SystemCopy ReadSystemCopy(const std::string& name) {
  SystemCopy copy;
  const SystemFolder folder = SystemLibraryFolder();
  if (!folder.path) {
    copy.whyNotRead = folder.whyNone;
    return copy;
  }
  copy.shownFolder = ShownPath(*folder.path);
  std::error_code error;
  if (!std::filesystem::exists(*folder.path / name, error)) {
    copy.whyNotRead = "the system folder " + copy.shownFolder + " holds no " + name;
    return copy;
  }
  const FoundLibrary found = ReadLibrary(*folder.path / name, kMaxLibraryBytes, &copy.bytes);
  if (found.state != FoundLibrary::State::kRead) {
    copy.whyNotRead = "the system's copy in " + copy.shownFolder + " cannot be read (" +
                      found.unreadableWhy + ")";
  } else if (!found.reading.image.layout) {
    copy.whyNotRead = "the system's copy in " + copy.shownFolder +
                      " does not read as a 64-bit library (" + Printable(found.reading.problem) +
                      ")";
  } else {
    copy.functions = ExportedNames(*found.reading.image.layout);
  }
  return copy;
}

std::vector<std::string> ExportedNames(const PeLayout& layout) {
  std::vector<std::string> names;
  if (layout.exports.rva == 0) {
    return names;
  }
  const std::optional<std::uint32_t> count = layout.U32(layout.exports.rva + 24);
  const std::optional<std::uint32_t> table = layout.U32(layout.exports.rva + 32);
  if (!count || !table || *count > kMaxExportNames) {
    return names;
  }
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::optional<std::uint32_t> rva = layout.U32(*table + 4 * i);
    std::string text;
    if (!rva || layout.Text(*rva, kMaxExportName, text) != PeLayout::TextEnd::kEnded) {
      break;
    }
    names.push_back(text);
  }
  return names;
}
