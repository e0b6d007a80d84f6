// Short names looked up part by part: each part of a path is matched against the table under
// the real path of the parts before it, so a short name stands only for its own folder's entry.
#include "core/short_names.h"

#include <algorithm>
#include <cctype>

namespace sim {

namespace {

namespace fs = std::filesystem;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

fs::path Normal(const fs::path& path) {
  std::error_code error;
  return fs::absolute(path, error).lexically_normal();
}

}  // namespace

void ShortNames::Add(const fs::path& path, std::string shortName) {
  entries_.push_back({Normal(path), std::move(shortName)});
}

std::vector<ShortNames::WalkedPart> ShortNames::Walk(const std::string& path) const {
  std::vector<WalkedPart> parts;
  fs::path real;
  std::string given;
  for (std::size_t index = 0; index <= path.size(); ++index) {
    const char c = index < path.size() ? path[index] : '\0';
    if (c != '/' && c != '\\' && c != '\0') {
      given += c;
      continue;
    }
    std::string name = given;
    if (parts.empty()) {
      // The first part: the root of an absolute path, or the first name of a relative one.
      real = given.empty() ? fs::path("/") : fs::path(given);
    } else if (!given.empty()) {
      const fs::path folder = Normal(real);
      for (const Entry& entry : entries_) {
        if (entry.path.parent_path() == folder && SameIgnoringCase(entry.shortName, given)) {
          name = entry.path.filename().string();
        }
      }
      real /= name;
    }
    parts.push_back({given, real});
    given.clear();
  }
  return parts;
}

std::string ShortNames::Resolve(const std::string& path) const {
  const std::vector<WalkedPart> parts = Walk(path);
  std::string resolved = parts.back().real.string();
  if (parts.size() > 1 && parts.back().given.empty() && resolved.back() != '/') {
    resolved += '/';
  }
  return resolved;
}

}  // namespace sim
