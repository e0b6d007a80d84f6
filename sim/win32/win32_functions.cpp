// The Win32 functions the plug-in calls that every program running the plug-in in the simulated
// host takes from it (on Linux, and the Windows build of the soak): the tick count and the
// executable's path come from the simulated host; the profile functions find the file as the
// simulated file system does (core/windows_paths.h), within their own limit of MAX_PATH, and
// read it with the portable profile reader. Each fails on the fault injector's countdown as its
// row says (core/fault_table.h). The file functions are in file_functions.cpp.
#include <algorithm>

#include "core/code_page.h"
#include "core/fault_injector.h"
#include "core/sim_host.h"
#include "core/windows_paths.h"
#include "platform/win32_functions.h"
#include "profile/profile_reader.h"

namespace {

// The profile file's text: none when its path is too long for the profile functions (MAX_PATH
// with its terminator, as Wine measures it; a \\?\ prefix is taken away first and does not
// count), names no file, or names an online-only file on a machine that is offline.
std::optional<std::string> ReadProfileFile(LPCWSTR fileName) {
  if (fileName == nullptr || sim::Win32CallFails(sim::FaultKind::kOnlineOnlySettings)) {
    return std::nullopt;
  }
  const std::u16string_view path = sim::WithoutLongPathPrefix(fileName);
  if (path.size() >= sim::kMaxPath) {
    return std::nullopt;
  }
  const std::optional<std::string> linuxPath = sim::LinuxPath(path);
  return linuxPath ? profile::ReadFile(linuxPath->c_str()) : std::nullopt;
}

// A wide name or text in the ANSI code page the profile reader works in (its names and values
// are plain ASCII where they matter; any other character becomes '?').
std::string Narrow(LPCWSTR text) {
  std::string narrow;
  for (; text != nullptr && *text != 0; ++text) {
    narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
  }
  return narrow;
}

}  // namespace

extern "C" {

DWORD GetTickCount() {
  sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr) {
    return 0;
  }
  host->CountHostCall();
  return host->TickCount();
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (module != nullptr || host == nullptr || fileName == nullptr || size == 0 ||
      sim::Win32CallFails(sim::FaultKind::kModulePathFails)) {
    return 0;
  }
  const std::u16string path = sim::Utf16FromUtf8(host->ExecutablePath());
  if (path.size() >= size) {
    // As Windows XP and later: cut, terminated, and the full buffer size returned.
    std::copy_n(path.begin(), size - 1, fileName);
    fileName[size - 1] = u'\0';
    return size;
  }
  std::copy(path.begin(), path.end(), fileName);
  fileName[path.size()] = u'\0';
  return static_cast<DWORD>(path.size());
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return profile::GetInt(ReadProfileFile(fileName), Narrow(section).c_str(),
                              Narrow(key).c_str(), defaultValue);
}

// The value as the profile reader gives it, widened through the host's ANSI code page.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer,
                               DWORD size, LPCWSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  if (buffer == nullptr || size == 0) {
    return 0;
  }
  std::string narrow(size, '\0');
  const DWORD length = profile::GetString(ReadProfileFile(fileName), Narrow(section).c_str(),
                                               Narrow(key).c_str(), Narrow(defaultValue).c_str(),
                                               narrow.data(), size);
  const sim::SimHost* host = sim::SimHost::Current();
  std::u16string wide = sim::FromAnsi(
      narrow.substr(0, length), host != nullptr ? host->AnsiCodePage() : sim::kWesternCodePage);
  if (wide.size() >= size) {
    wide.resize(size - 1);
  }
  std::copy(wide.begin(), wide.end(), buffer);
  buffer[wide.size()] = u'\0';
  return static_cast<DWORD>(wide.size());
}
}
