// Fuzz target: any bytes as a library a player put into the game folder, read by the PE reader
// behind `holdout doctor`; every name it finds, and the bytes themselves as text, go through
// the reader of decorated function names. Besides what the sanitizers catch, it checks the
// bounds the reader promises: at most 65536 imported functions and exported names, no name
// longer than 4096 characters, and a readable signature never empty.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "msvc_names.h"
#include "pe_image.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PeReading reading = ReadPeImage(std::span<const std::uint8_t>(data, size));
  std::size_t functions = 0;
  for (const PeImportedLibrary& library : reading.image.imports) {
    ReadName(library.name);
    for (const PeImport& function : library.functions) {
      ReadName(function.name);
      ++functions;
    }
  }
  Check(functions <= 65536);
  Check(reading.image.exportNames.size() <= 65536);
  for (const std::string& name : reading.image.exportNames) {
    ReadName(name);
  }
  DemangleMsvcFunction(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
