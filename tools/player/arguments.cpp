// The quoting hint, the same on every platform.
#include "player/arguments.h"

std::string QuoteHint(const char* command, int argc, char** argv) {
  std::string joined;
  for (int index = 0; index < argc; ++index) {
    joined += (index > 0 ? " " : "") + std::string(argv[index]);
  }
  return std::string("a path with spaces must be in quotes, as in: holdout ") + command + " \"" +
         joined + "\"";
}
