// Fuzz target: any bytes as a library a player put into the game folder, read by the PE reader
// behind `holdout doctor`; every function it imports is then looked up in its own export table,
// by name and hint and by ordinal, as the loader would look it up, and every name it finds, and
// the bytes themselves as text, go through the reader of decorated function names. Besides what
// the sanitizers catch, it checks the bounds the reader promises: at most 65536 imported
// functions, no name longer than 4096 characters, a forwarder only where the export table says
// so, a readable signature never empty, a version resource read as three or four numbers and its
// texts as at most 256 characters, and the quick look at the headers that doctor takes of a
// game's program telling what the full reading tells.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "binary_reader/msvc_names.h"
#include "binary_reader/pe_exports.h"
#include "binary_reader/pe_image.h"
#include "binary_reader/pe_version.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void ReadName(const std::string& name) {
  Check(name.size() <= 4096);
  if (const std::optional<std::string> signature = DemangleMsvcFunction(name)) {
    Check(!signature->empty());
  }
}

// The export lookups the loader would make for the function, were the image its own exporter.
void LookUp(const PeLayout& image, const PeImport& function) {
  for (const PeExportTarget& target :
       {FindExport(image, function.name, function.hint), FindExportByOrdinal(image, function.hint),
        FindExportAtIndex(image, function.ordinal)}) {
    Check(target.kind == PeExportTarget::Kind::kForwarder || target.forwarder.empty());
    Check(target.kind == PeExportTarget::Kind::kDamaged || target.problem.empty());
    if (const std::optional<PeForwarder> forwarder = ParseForwarder(target.forwarder)) {
      Check(!forwarder->library.empty());
      ReadName(forwarder->function);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PeReading reading = ReadPeImage(std::span<const std::uint8_t>(data, size));
  std::size_t functions = 0;
  for (const PeImportedLibrary& library : reading.image.imports) {
    ReadName(library.name);
    for (const PeImport& function : library.functions) {
      ReadName(function.name);
      ++functions;
      if (reading.image.layout) {
        LookUp(*reading.image.layout, function);
      }
    }
  }
  Check(functions <= 65536);
  if (reading.image.layout) {
    if (const std::optional<std::string> version = ReadFileVersion(*reading.image.layout)) {
      const auto dots = std::count(version->begin(), version->end(), '.');
      Check((dots == 2 || dots == 3) && version->size() <= 23);
    }
    if (const std::optional<std::string> commit =
            ReadVersionString(*reading.image.layout, "SourceCommit")) {
      Check(commit->size() <= 256);
    }
  }
  // The look at the first headers that tells a game's program apart agrees with the full reading.
  if (reading.problem.empty()) {
    Check(ReadPeKind(std::span<const std::uint8_t>(data, size)) ==
          (reading.image.isDll ? PeKind::kLibrary64 : PeKind::kProgram64));
  }
  DemangleMsvcFunction(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
