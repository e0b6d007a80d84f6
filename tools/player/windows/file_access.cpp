// The system calls of doctor's file questions on Windows: CreateFileW with OPEN_EXISTING and the
// right to append only, which never creates the file; with CREATE_NEW for a file of doctor's
// own; and the attributes GetFileAttributesW gives a cloud-synced folder's placeholder.
#include "player/file_access.h"

#include <windows.h>

#include <string>

namespace {

// The attributes of a placeholder whose contents are not on this device, as Microsoft documents
// them (File Attribute Constants); the first two are missing from older headers. A file whose
// data is fetched when it is read, or when it is opened, and one whose data is kept elsewhere.
constexpr DWORD kRecallOnDataAccess = 0x00400000;
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kOnlineOnlyAttributes =
    kRecallOnDataAccess | kRecallOnOpen | FILE_ATTRIBUTE_OFFLINE;

std::string Reason(DWORD error) {
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
  return why;
}

AccessAnswer OpenForAppending(const std::filesystem::path& file) {
  const HANDLE handle =
      CreateFileW(file.c_str(), FILE_APPEND_DATA,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return {false, Reason(GetLastError())};
  }
  CloseHandle(handle);
  return {true, ""};
}

Creation CreateNew(const std::filesystem::path& file, std::string& why) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      return Creation::kTaken;
    }
    why = Reason(error);
    return Creation::kRefused;
  }
  CloseHandle(handle);
  return Creation::kMade;
}

bool DeleteOwn(const std::filesystem::path& file) {
  return DeleteFileW(file.c_str()) != 0;
}

bool IsOnlineOnly(const std::filesystem::path& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kOnlineOnlyAttributes) != 0;
}

}  // namespace

FileSystemCalls fileSystemCalls = {&OpenForAppending, &CreateNew, &DeleteOwn, &IsOnlineOnly};
