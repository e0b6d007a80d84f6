// The session's folder: entered on construction, left on destruction.
#include "core/session_folder.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace sim {

SessionFolder::SessionFolder(ScratchDirectory directory) : directory_(std::move(directory)) {
  std::error_code error;
  previousWorkingDirectory_ = std::filesystem::current_path(error);
  std::filesystem::current_path(directory_.Path(), error);
}

SessionFolder::~SessionFolder() {
  std::error_code error;
  std::filesystem::current_path(previousWorkingDirectory_, error);
}

std::string SessionFolder::ExecutablePath() const {
  return (directory_.Path() / "Host.exe").string();
}

void SessionFolder::WriteIni(std::string_view text) const {
  std::ofstream(directory_.Path() / "Holdout.ini", std::ios::binary) << text;
}

std::string SessionFolder::ReadLog() const {
  std::ifstream file(directory_.Path() / "Holdout.log", std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace sim
