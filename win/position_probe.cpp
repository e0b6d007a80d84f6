// The position probe: answers the position corpus with the plug-in's own position reader and
// prints the answers. Built twice, as PositionProbe.exe with the Windows build's compiler and C
// runtime (run under Wine) and with the build machine's compiler and glibc, so that the two
// readings can be compared. Answer lines hold no carriage return of their own, so the line
// ends the Windows console adds can be stripped before comparing. With --decimal-comma the probe
// first sets the process's locale to one that writes numbers with a decimal comma, as a module
// of the game may, and fails when the system has none: the answers must not change. With
// --c-runtime it prints instead, for every position the answers write, whether the plug-in's
// writing is the C runtime's "{%.5f,%.5f,%.5f}" of the same floats (msvcrt's in the Windows
// build, glibc's in the Linux one), and fails on any difference.
// Usage: position_probe CORPUS [--decimal-comma | --c-runtime]
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/number_locale.h"
#include "settings/position.h"
#include "support/position_corpus.h"

namespace {

// Holds every "LINE -> taken {x,y,z} written TEXT" answer's TEXT to the C runtime's writing of
// the floats the taken components name (their shortest forms, read back by the plug-in's own
// reader, give the very floats); prints each difference and the count. False on any.
bool WritesAsTheCRuntime(const std::string& answers) {
  std::istringstream lines(answers);
  int compared = 0;
  int differing = 0;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t taken = line.find(" -> taken ");
    const std::size_t written = line.find(" written ", taken);
    if (taken == std::string::npos || written == std::string::npos) {
      continue;
    }
    const std::string components = line.substr(taken + 10, written - taken - 10);
    Vector3 position{};
    ParsePosition(components.c_str(), position);
    char expected[160];
    std::snprintf(expected, sizeof expected, "{%.5f,%.5f,%.5f}", static_cast<double>(position.x),
                  static_cast<double>(position.y), static_cast<double>(position.z));
    ++compared;
    if (line.substr(written + 9) != expected) {
      ++differing;
      std::printf("%s\n  the C runtime writes %s\n", line.c_str(), expected);
    }
  }
  std::printf("%d positions written, %d unlike the C runtime's\n", compared, differing);
  return differing == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool decimalComma = argc == 3 && std::string(argv[2]) == "--decimal-comma";
  const bool cRuntime = argc == 3 && std::string(argv[2]) == "--c-runtime";
  if (argc != 2 && !decimalComma && !cRuntime) {
    std::fprintf(stderr, "usage: position_probe CORPUS [--decimal-comma | --c-runtime]\n");
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
  if (cRuntime) {
    return WritesAsTheCRuntime(answers) ? 0 : 1;
  }
  std::fwrite(answers.data(), 1, answers.size(), stdout);
  return 0;
}
