// Lists what a Windows binary imports, read with the project's own PE reader: one line per
// function, "library function" with the library's name in lower case (as the loader compares
// names) and a function taken by ordinal as "#N". The lean-binary check holds the list to an
// allow-list (binary_lean_test.sh). Exit code 1 with the reader's sentence when the file does not
// read as a 64-bit image.
// Usage: pe_imports FILE
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "binary_reader/pe_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pe_imports FILE\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "pe_imports: %s cannot be read\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                        std::istreambuf_iterator<char>()};
  const PeReading reading = ReadPeImage(std::span(bytes));
  if (!reading.problem.empty()) {
    std::fprintf(stderr, "pe_imports: %s: %s\n", argv[1], reading.problem.c_str());
    return 1;
  }
  for (const PeImportedLibrary& library : reading.image.imports) {
    std::string name = library.name;
    for (char& c : name) {
      c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const PeImport& function : library.functions) {
      const std::string what =
          function.name.empty() ? "#" + std::to_string(function.ordinal) : function.name;
      std::printf("%s %s\n", name.c_str(), what.c_str());
    }
  }
  return 0;
}
