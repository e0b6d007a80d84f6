// Paths and the read-only attribute of the simulated file system.
#include "core/windows_paths.h"

#include <filesystem>

#include "core/code_page.h"
#include "core/sim_host.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write;

}  // namespace

std::u16string_view WithoutLongPathPrefix(std::u16string_view path) {
  return path.starts_with(kLongPathPrefix) ? path.substr(kLongPathPrefix.size()) : path;
}

bool FileFunctionsTake(std::u16string_view path) {
  return path.starts_with(kLongPathPrefix) || path.size() < kMaxPath;
}

std::optional<std::string> LinuxPath(std::u16string_view path) {
  const std::optional<std::string> utf8 = Utf8FromUtf16(WithoutLongPathPrefix(path));
  if (!utf8) {
    return std::nullopt;
  }
  static const ShortNames kNoShortNames;
  const SimHost* host = SimHost::Current();
  return (host != nullptr ? host->FileShortNames() : kNoShortNames).Resolve(*utf8);
}

bool IsReadOnly(const std::string& path) {
  std::error_code error;
  return (fs::status(path, error).permissions() & kAnyWrite) == fs::perms::none;
}

void SetReadOnly(const std::string& path, bool readOnly) {
  std::error_code error;
  if (readOnly) {
    fs::permissions(path, kAnyWrite, fs::perm_options::remove, error);
  } else {
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
  }
}

}  // namespace sim
