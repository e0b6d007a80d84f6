// Paths and the read-only attribute of the simulated file system.
#include "core/windows_paths.h"

#include <filesystem>

#include "core/code_page.h"
#include "core/fault_injector.h"
#include "core/sim_host.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write;

// A path made absolute and without "." and ".." parts, so that two spellings compare equal.
fs::path Normal(const fs::path& path) {
  std::error_code error;
  fs::path normal = fs::absolute(path, error);
  normal = (error ? path : normal).lexically_normal();
  return normal.has_filename() ? normal : normal.parent_path();
}

}  // namespace

FileSystemSettings fileSystemSettings;

bool RefusesWrites(const std::string& path) {
  const fs::path folder = Normal(path).parent_path();
  for (const std::string& refusing : fileSystemSettings.foldersRefusingWrites) {
    if (Normal(refusing) == folder) {
      return true;
    }
  }
  return false;
}

std::u16string_view WithoutLongPathPrefix(std::u16string_view path) {
  return path.starts_with(kLongPathPrefix) ? path.substr(kLongPathPrefix.size()) : path;
}

bool FileFunctionsTake(std::u16string_view path) {
  return path.starts_with(kLongPathPrefix) || path.size() < kMaxPath;
}

std::optional<std::string> LinuxPath(std::u16string_view path) {
  std::optional<std::string> utf8 = Utf8FromUtf16(WithoutLongPathPrefix(path));
  if (!utf8) {
    return std::nullopt;
  }
  const std::string& elsewhere = fileSystemSettings.otherWorkingFolder;
  if (!utf8->starts_with('/') && !elsewhere.empty() &&
      Win32CallFails(FaultKind::kWorkingFolderElsewhere)) {
    *utf8 = elsewhere + '/' + *utf8;
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
