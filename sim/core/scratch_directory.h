// A fresh directory that a simulated session owns: the game folder where the plug-in looks for
// its settings and, as the working directory, where it writes its log. It is made new and
// empty, and removed with everything in it when its owner ends. Nothing else is ever removed:
// when no new directory can be made there is no ScratchDirectory, only a reason.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

class ScratchDirectory {
 public:
  // A new, empty directory "<prefix>-<random>" under the system's temporary directory; none,
  // with the reason in `error`, when it cannot be made.
  static std::optional<ScratchDirectory> Create(std::string_view prefix, std::string& error);

  // Removes the directory this object made, with its contents.
  ~ScratchDirectory();
  // The moved-from object owns nothing and removes nothing.
  ScratchDirectory(ScratchDirectory&& other) noexcept;
  ScratchDirectory& operator=(ScratchDirectory&& other) noexcept;
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  explicit ScratchDirectory(std::filesystem::path path) : path_(std::move(path)) {}
  void Remove();

  std::filesystem::path path_;  // empty once moved from
};

}  // namespace sim
