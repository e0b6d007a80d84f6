// Access questions on Windows: the file opened with the right to append only and OPEN_EXISTING,
// which never creates it; the folder's access list checked against the user's token for the
// right to add a file, which adds nothing.
#include "player/file_access.h"

#include <windows.h>

#include <vector>

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
  // The folder's security, checked against this user's token for the right to add a file.
  // Opening the folder for that right would answer on Windows, but Wine opens it whatever the
  // folder's permissions; the access list reflects them on both.
  constexpr SECURITY_INFORMATION kParts =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityW(folder.c_str(), kParts, nullptr, 0, &needed);
  std::vector<unsigned char> descriptor(needed);
  if (needed == 0 ||
      !GetFileSecurityW(folder.c_str(), kParts, descriptor.data(), needed, &needed)) {
    return Denied();
  }
  HANDLE process = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &process)) {
    return Denied();
  }
  HANDLE token = nullptr;
  const BOOL duplicated = DuplicateToken(process, SecurityImpersonation, &token);
  CloseHandle(process);
  if (!duplicated) {
    return Denied();
  }
  GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                             FILE_ALL_ACCESS};
  DWORD wanted = FILE_ADD_FILE;
  MapGenericMask(&wanted, &mapping);
  PRIVILEGE_SET privileges = {};
  DWORD privilegesSize = sizeof privileges;
  DWORD granted = 0;
  BOOL allowed = FALSE;
  const BOOL checked = AccessCheck(descriptor.data(), token, wanted, &mapping, &privileges,
                                   &privilegesSize, &granted, &allowed);
  AccessAnswer answer = checked && allowed ? AccessAnswer{true, ""} : Denied();
  CloseHandle(token);
  return answer;
}
