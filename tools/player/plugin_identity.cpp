// Reads the version and the commit from the plug-in's tables as doctor already holds them and
// compares them with this program's own: versions by their numbers, commits by their text. A
// plug-in that does not read as an image says nothing about its build.
#include "player/plugin_identity.h"

#include <algorithm>
#include <string>
#include <vector>

#include "binary_reader/pe_version.h"
#include "player/build_identity.h"

namespace {

// The numbers of "0.2.0", for comparing versions; a part that is no number counts as 0.
std::vector<unsigned long> VersionNumbers(const std::string& version) {
  std::vector<unsigned long> numbers{0};
  for (const char c : version) {
    if (c == '.') {
      numbers.push_back(0);
    } else if (c >= '0' && c <= '9' && numbers.back() < 100000) {
      numbers.back() = numbers.back() * 10 + static_cast<unsigned long>(c - '0');
    }
  }
  return numbers;
}

// Below 0 when version a is older than b, 0 when the two are one version, above 0 when newer;
// missing trailing parts count as 0 ("0.2" is "0.2.0").
int CompareVersions(const std::string& a, const std::string& b) {
  std::vector<unsigned long> left = VersionNumbers(a);
  std::vector<unsigned long> right = VersionNumbers(b);
  left.resize(std::max(left.size(), right.size()));
  right.resize(left.size());
  return left < right ? -1 : (left == right ? 0 : 1);
}

std::string PackageName(const std::string& version) {
  return "Holdout-" + version + "-win64.zip";
}

// The problem with another build, and what to do: end with the newer plug-in and its package's
// holdout.exe.
Problem OtherBuild(const BuildIdentity& plugin, const BuildIdentity& own, std::string& advice) {
  const std::string theirs = ShownBuild(plugin);
  const std::string ours = ShownBuild(own);
  const int order = CompareVersions(plugin.version, own.version);
  std::string sentence;
  if (order < 0) {
    sentence = "it is version " + theirs + ", older than this holdout.exe, version " + ours +
               ": an update was not copied into the game folder";
    advice = "copy Holdout.asi from " + PackageName(own.version) +
             ", the package this holdout.exe came with, over the old one, and check again with "
             "this holdout.exe";
  } else if (order > 0) {
    sentence = "it is version " + theirs + ", newer than this holdout.exe, version " + ours +
               ", which comes from an older download and cannot vouch for it";
    advice = "keep this Holdout.asi, and check with the holdout.exe of its package, " +
             PackageName(plugin.version) + ": copy that holdout.exe over this one";
  } else {
    sentence = "it is " + theirs + ", the same version as this holdout.exe, " + ours +
               ", but another build of it, so this holdout.exe cannot vouch for it";
    advice =
        "take Holdout.asi and holdout.exe from one package, the one you downloaded last: copy "
        "its Holdout.asi over this one and check with its holdout.exe";
  }
  return {.kind = ProblemKind::kOtherVersion, .sentence = sentence};
}

}  // namespace

PluginBuild SayPluginBuild(const FoundLibrary& plugin, FileVerdict& verdict) {
  if (plugin.state != FoundLibrary::State::kRead || !plugin.reading.image.layout) {
    return PluginBuild::kUnknown;
  }
  const PeLayout& layout = *plugin.reading.image.layout;
  const std::optional<std::string> version = ReadFileVersion(layout);
  if (!version) {
    if (verdict.Sound()) {
      verdict.finding = "it carries no version (builds of Holdout carry one); " + verdict.finding;
    }
    return PluginBuild::kUnknown;
  }
  const BuildIdentity installed{.version = *version,
                                .commit = ReadVersionString(layout, kSourceCommitKey).value_or("")};
  const BuildIdentity own = OwnBuild();
  if (installed.version == own.version && installed.commit == own.commit) {
    if (verdict.Sound()) {
      verdict.finding =
          "version " + ShownBuild(installed) + ", this holdout.exe's own build; " + verdict.finding;
    }
    return PluginBuild::kSame;
  }
  std::string advice;
  verdict.problems.push_back(OtherBuild(installed, own, advice));
  verdict.advice =
      verdict.problems.size() == 1 ? advice : verdict.advice + "; then " + advice;
  return PluginBuild::kOther;
}
