// A list is read only up to a size no package's list comes near, and only its lines of the
// form "<64 hex digits><space><space or *>Holdout.asi" (CRLF or LF) count: a player's file is
// read as untrusted text.
#include "player/package_sums.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "player/arguments.h"
#include "player/file_bytes.h"
#include "player/plugin_copies.h"
#include "player/sha256.h"
#include "sentences/text.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxSumsBytes = 64u << 10;
constexpr std::size_t kDigestDigits = 64;

// The digest the list gives for Holdout.asi, in lower case; nothing when it names none.
std::optional<std::string> ListedDigest(const std::string& list) {
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('\n', start);
    end = end == std::string::npos ? list.size() : end;
    std::string line = list.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::string name = std::string("  ") + kPluginFileName;
    const std::string binaryName = std::string(" *") + kPluginFileName;
    const std::string rest = line.size() > kDigestDigits ? line.substr(kDigestDigits) : "";
    const std::string digest = Lower(line.substr(0, kDigestDigits));
    if ((rest == name || rest == binaryName) &&
        digest.find_first_not_of("0123456789abcdef") == std::string::npos) {
      return digest;
    }
  }
  return std::nullopt;
}

// The plug-in loaders load: Holdout.asi in the game folder, else in a loader subfolder.
std::optional<fs::path> InstalledPlugin(const Listing& gameFolder) {
  if (const std::optional<fs::path> here = gameFolder.Find(kPluginFileName)) {
    return here;
  }
  for (const PluginCopy& copy : LoadedPluginCopies(gameFolder)) {
    if (copy.exactName) {
      return copy.path;
    }
  }
  return std::nullopt;
}

}  // namespace

void SayPackageSums(const Listing& gameFolder, FileVerdict& verdict) {
  const std::optional<fs::path> plugin = InstalledPlugin(gameFolder);
  if (!plugin) {
    return;
  }
  // The list beside holdout.exe when doctor runs in its package or in the game folder it was
  // copied to, then the game folder's.
  std::vector<fs::path> folders = {gameFolder.folder};
  std::error_code error;
  const fs::path here = fs::current_path(error);
  if (!error && here != gameFolder.folder) {
    folders.insert(folders.begin(), here);
  }
  for (const fs::path& folder : folders) {
    std::string whyNot;
    const fs::path listPath = folder / kSumsFileName;
    const std::optional<std::string> list = ReadBytes(listPath, whyNot, kMaxSumsBytes);
    const std::optional<std::string> listed = list ? ListedDigest(*list) : std::nullopt;
    if (!listed) {
      continue;
    }
    const std::optional<std::string> bytes = ReadBytes(*plugin, whyNot);
    if (!bytes) {
      return;
    }
    const std::string shownList = ShownPath(listPath);
    if (Sha256Hex(*bytes) == *listed) {
      verdict.finding += "; it is byte for byte the Holdout.asi that " + shownList + " lists";
      return;
    }
    verdict.problems.push_back(
        {.kind = ProblemKind::kOtherVersion,
         .sentence = "it is not the Holdout.asi that " + shownList +
                     " lists (their SHA-256 differ): a damaged or altered copy, or that list "
                     "comes from another package"});
    const std::string advice =
        "copy Holdout.asi again from the package " + std::string(kSumsFileName) + " came with";
    verdict.advice = verdict.problems.size() == 1 ? advice : verdict.advice + "; then " + advice;
    return;
  }
}
