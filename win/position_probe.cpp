// The position probe: answers the position corpus with the plug-in's own position reader and
// prints the answers. Built twice, as PositionProbe.exe with the Windows build's compiler and C
// runtime (run under Wine) and with the build machine's compiler and glibc, so that the two
// readings can be compared. Answer lines hold no carriage return of their own, so the line
// ends the Windows console adds can be stripped before comparing. With --decimal-comma the probe
// first sets the process's locale to one that writes numbers with a decimal comma, as a module
// of the game may, and fails when the system has none: the answers must not change.
// Usage: position_probe CORPUS [--decimal-comma]
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/number_locale.h"
#include "support/position_corpus.h"

int main(int argc, char** argv) {
  const bool decimalComma = argc == 3 && std::string(argv[2]) == "--decimal-comma";
  if (argc != 2 && !decimalComma) {
    std::fprintf(stderr, "usage: position_probe CORPUS [--decimal-comma]\n");
    return 2;
  }
  if (decimalComma && !sim::SetDecimalCommaLocale()) {
    std::fprintf(stderr, "position probe: no locale with a decimal comma on this system\n");
    return 1;
  }
  std::ifstream corpus(argv[1], std::ios::binary);
  if (!corpus) {
    std::fprintf(stderr, "position probe: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream text;
  text << corpus.rdbuf();
  std::string answers;
  std::string error;
  if (!position_corpus::AnswerCorpus(text.str(), answers, error)) {
    std::fprintf(stderr, "position probe: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::fwrite(answers.data(), 1, answers.size(), stdout);
  return 0;
}
