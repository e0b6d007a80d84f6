// Access questions on Windows: the file opened with the right to append only and OPEN_EXISTING,
// which never creates it; the folder opened with the right to add a file, which asks its access
// list without adding anything.
#include "file_access.h"

#include <windows.h>

namespace {

AccessAnswer Denied() {
  const DWORD error = GetLastError();
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
  std::string why(text, length);
  while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.')) {
    why.pop_back();
  }
  if (why.empty()) {
    why = "Windows error " + std::to_string(error);
  }
  return {false, why};
}

AccessAnswer Open(const std::filesystem::path& path, DWORD access, DWORD flags) {
  const HANDLE handle =
      CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return Denied();
  }
  CloseHandle(handle);
  return {true, ""};
}

}  // namespace

AccessAnswer CanAppendTo(const std::filesystem::path& file) {
  return Open(file, FILE_APPEND_DATA, FILE_ATTRIBUTE_NORMAL);
}

AccessAnswer CanCreateIn(const std::filesystem::path& folder) {
  return Open(folder, FILE_ADD_FILE, FILE_FLAG_BACKUP_SEMANTICS);
}
