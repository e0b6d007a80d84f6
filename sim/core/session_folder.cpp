// The session's folder: entered on construction, left on destruction.
#include "core/session_folder.h"

#include "core/windows_paths.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace sim {

SessionFolder::SessionFolder(ScratchDirectory directory) : directory_(std::move(directory)) {
  std::error_code error;
  previousWorkingDirectory_ = std::filesystem::current_path(error);
  std::filesystem::current_path(directory_.Path(), error);
  std::filesystem::create_directory(LocalAppData(), error);
  const std::filesystem::path otherWorkingFolder = OtherWorkingFolderLog().parent_path();
  std::filesystem::create_directory(otherWorkingFolder, error);
  fileSystemSettings = FileSystemSettings{{}, LocalAppData().string(), otherWorkingFolder.string()};
}

SessionFolder::~SessionFolder() {
  std::error_code error;
  std::filesystem::current_path(previousWorkingDirectory_, error);
  fileSystemSettings = FileSystemSettings{};
}

std::string SessionFolder::ExecutablePath() const {
  return (directory_.Path() / "Host.exe").string();
}

void SessionFolder::WriteIni(std::string_view text) const {
  std::ofstream(directory_.Path() / "Holdout.ini", std::ios::binary) << text;
}

namespace {

// A file's contents; empty when there is none.
std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace

std::string SessionFolder::ReadLog() const {
  return ReadFile(directory_.Path() / "Holdout.log");
}

std::string SessionFolder::ReadLocalAppDataLog() const {
  return ReadFile(FallbackLog());
}

std::string SessionFolder::ReadOtherWorkingFolderLog() const {
  return ReadFile(OtherWorkingFolderLog());
}

}  // namespace sim
