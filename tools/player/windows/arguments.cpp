// Paths on Windows. The argument is UTF-8 (holdout.exe reads its command line in the wide form)
// and becomes a wide path; a trailing '"' is what cmd leaves of "C:\Some Game\" (the backslash
// quotes the closing quote), and no Windows name holds one. The C runtime that the standard
// library reads folders through stops at MAX_PATH characters, so a longer path is handed over
// as its short (8.3) form, or, where none is short enough, a file with the \\?\ prefix that
// lifts the limit for the functions that take it.
#include "player/arguments.h"

#include <windows.h>

namespace {

namespace fs = std::filesystem;

const std::wstring kLongPathPrefix = L"\\\\?\\";

// The longest path the C runtime opens as it is: MAX_PATH less the room Windows keeps for an
// 8.3 file name inside a folder.
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12;

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

fs::path PathFromArgument(const std::string& argument) {
  std::string text = argument;
  if (!text.empty() && text.back() == '"') {
    text.pop_back();
  }
  const fs::path path = FromUtf8(text.empty() ? "." : text);
  std::error_code error;
  const std::wstring full = fs::absolute(path, error).native();
  // Network paths, and paths that carry the prefix already, are left as they are.
  if (error || full.size() <= kLongestPlainPath || full.starts_with(L"\\\\")) {
    return path;
  }
  const std::wstring prefixed = kLongPathPrefix + full;
  const DWORD needed = GetShortPathNameW(prefixed.c_str(), nullptr, 0);
  std::wstring shortForm(needed, L'\0');
  const DWORD length =
      needed == 0 ? 0 : GetShortPathNameW(prefixed.c_str(), shortForm.data(), needed);
  if (length > kLongPathPrefix.size() && length < needed) {
    shortForm.resize(length);
    shortForm.erase(0, kLongPathPrefix.size());
    if (shortForm.size() <= kLongestPlainPath) {
      return shortForm;
    }
  }
  // The C runtime's folder listing misreads the prefix (it lists the working directory), so a
  // folder keeps its plain path, whose listing fails and says so; a file opens with the prefix.
  return fs::is_directory(prefixed, error) ? path : fs::path(prefixed);
}

std::string ShownPath(const fs::path& path) {
  std::wstring text = path.native();
  if (text.starts_with(kLongPathPrefix)) {
    text.erase(0, kLongPathPrefix.size());
  }
  const std::u8string utf8 = fs::path(text).u8string();
  return std::string(utf8.begin(), utf8.end());
}
