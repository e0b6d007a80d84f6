// Reads the version from the plug-in's tables as doctor already holds them; a plug-in that does
// not read as an image says nothing about its version.
#include "player/plugin_version.h"

#include <string>

#include "binary_reader/pe_version.h"

void SayPluginVersion(const FoundLibrary& plugin, FileVerdict& verdict) {
  if (plugin.state != FoundLibrary::State::kRead || !plugin.reading.image.layout) {
    return;
  }
  const std::optional<std::string> version = ReadFileVersion(*plugin.reading.image.layout);
  if (!version) {
    if (verdict.Sound()) {
      verdict.finding = "it carries no version (builds of Holdout carry one); " + verdict.finding;
    }
    return;
  }
  if (*version == kDoctorVersion) {
    if (verdict.Sound()) {
      verdict.finding = "version " + *version + "; " + verdict.finding;
    }
    return;
  }
  verdict.problems.push_back(
      {.kind = ProblemKind::kOtherVersion,
       .sentence = "it is version " + *version + ", but this holdout.exe is version " +
                   kDoctorVersion +
                   ": an update was not copied into the game folder, or this holdout.exe comes "
                   "from another download"});
  const std::string advice =
      "copy Holdout.asi from the zip this holdout.exe came with into the game folder, replacing "
      "the old one (or check with the holdout.exe that came with the installed Holdout.asi)";
  verdict.advice = verdict.problems.size() == 1 ? advice : advice + "; besides, " + verdict.advice;
}
