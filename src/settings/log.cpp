// Appending to the log through the Win32 file functions. The bytes are the text's own and the
// platform's line end, as the C runtime's text mode wrote them before. Nothing here allocates:
// the text and its line end go in two writes to one open file, so that a summary moved in once
// the run is over reaches the log even when the heap fails.
#include "settings/log.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "platform/win32_functions.h"

namespace {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR is a UTF-16 unit on every build");

constexpr char16_t kLogName[] = u"Holdout.log";
constexpr char16_t kLocalAppData[] = u"LOCALAPPDATA";
constexpr char16_t kFallbackFolder[] = u"\\Holdout";
constexpr char16_t kFallbackName[] = u"\\Holdout\\Holdout.log";

const WCHAR* Wide(const char16_t* text) {
  return reinterpret_cast<const WCHAR*>(text);
}

// Writes all of `bytes` to an open file.
bool WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
             FALSE &&
         written == bytes.size();
}

// Appends `text` and a line end to the file at `path`, created when absent; true when every
// byte was written.
bool AppendTo(const char16_t* path, std::string_view text) {
  const HANDLE file = CreateFileW(Wide(path), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool wrote = WriteAll(file, text) && WriteAll(file, kTextLineEnd);
  CloseHandle(file);
  return wrote;
}

// Appends `text` to %LOCALAPPDATA%\Holdout\Holdout.log, making the Holdout folder when needed.
// The paths are built in fixed buffers of MAX_PATH characters, the most the file functions take
// without the \\?\ prefix: a longer one could not be opened anyway.
bool AppendToLocalAppData(std::string_view text) {
  char16_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(Wide(kLocalAppData),
                                               reinterpret_cast<WCHAR*>(path), MAX_PATH);
  constexpr std::size_t kNameLength = std::size(kFallbackName) - 1;
  if (length == 0 || length + kNameLength >= MAX_PATH) {
    return false;
  }
  std::copy_n(kFallbackFolder, std::size(kFallbackFolder), path + length);
  // The folder may exist already: whether the file opens is what counts.
  CreateDirectoryW(Wide(path), nullptr);
  std::copy_n(kFallbackName, std::size(kFallbackName), path + length);
  return AppendTo(path, text);
}

}  // namespace

bool WriteLog(std::string_view text) {
  return AppendTo(kLogName, text) || AppendToLocalAppData(text);
}
