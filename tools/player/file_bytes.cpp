// Reads through the standard streams; the reason a file cannot be opened is the system's.
#include "player/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <utility>

#include "sentences/text.h"

namespace fs = std::filesystem;

std::optional<std::string> ReadBytes(const fs::path& path, std::string& whyNot,
                                     std::uintmax_t maxBytes) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    whyNot = fs::is_directory(path, error) ? "it is a folder, not a file" : "it is not a file";
    return std::nullopt;
  }
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && size > maxBytes) {
    whyNot = "it is larger than " + Mebibytes(maxBytes) + ", far larger than the real file";
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    whyNot = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    whyNot = "reading it failed";
    return std::nullopt;
  }
  return bytes;
}

FoundLibrary ReadLibrary(const std::optional<fs::path>& path, std::uintmax_t maxBytes,
                         std::string* bytes) {
  FoundLibrary found;
  if (!path) {
    return found;
  }
  std::optional<std::string> read = ReadBytes(*path, found.unreadableWhy, maxBytes);
  if (!read) {
    found.state = FoundLibrary::State::kUnreadable;
    return found;
  }
  found.state = FoundLibrary::State::kRead;
  found.reading =
      ReadPeImage(std::span(reinterpret_cast<const std::uint8_t*>(read->data()), read->size()));
  if (bytes != nullptr) {
    *bytes = std::move(*read);
  }
  return found;
}
