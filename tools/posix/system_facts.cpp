// System facts on Linux: a Windows game here runs through Wine, and file names reach programs
// as their bytes, with no code page between.
#include "system_facts.h"

bool GamesRunThroughWine() {
  return true;
}

std::optional<AnsiPathFacts> PathAsAnsiFunctionsSeeIt(const std::filesystem::path&) {
  return std::nullopt;
}
