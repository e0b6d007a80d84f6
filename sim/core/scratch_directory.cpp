// Making and removing a session's own directory. The name's random part comes from the
// system's random device; create_directory fails on a name that exists, so a directory made
// here is never one somebody else made.
#include "core/scratch_directory.h"

#include <random>
#include <system_error>
#include <utility>

namespace sim {

std::optional<ScratchDirectory> ScratchDirectory::Create(std::string_view prefix,
                                                         std::string& error) {
  std::error_code code;
  const std::filesystem::path base = std::filesystem::temp_directory_path(code);
  if (code) {
    error = "no temporary directory: " + code.message();
    return std::nullopt;
  }
  std::random_device random;
  constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name(prefix);
    name += '-';
    for (int i = 0; i < 8; ++i) {
      name += kLetters[random() % (sizeof kLetters - 1)];
    }
    const std::filesystem::path path = base / name;
    if (std::filesystem::create_directory(path, code)) {
      std::filesystem::permissions(path, std::filesystem::perms::owner_all, code);
      return ScratchDirectory(path);
    }
    if (code) {
      error = "cannot create a directory in " + base.string() + ": " + code.message();
      return std::nullopt;
    }
  }
  error = "cannot find an unused directory name in " + base.string();
  return std::nullopt;
}

ScratchDirectory::~ScratchDirectory() {
  Remove();
}

ScratchDirectory::ScratchDirectory(ScratchDirectory&& other) noexcept
    : path_(std::exchange(other.path_, {})) {}

ScratchDirectory& ScratchDirectory::operator=(ScratchDirectory&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

void ScratchDirectory::Remove() {
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
  }
}

}  // namespace sim
