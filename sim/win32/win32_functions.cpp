// All but one of the Win32 functions the plug-in calls, as the simulated host answers them, for
// every program that links the plug-in into the simulated host (on Linux, and the Windows build
// of the soak): the tick count and the executable's path come from the simulated host; short
// names from its table of them; the profile functions decode the ANSI path through the host's
// ANSI code page (the wide ones take the wide path, up to MAX_PATH) and read the file with the
// portable profile reader. The last,
// WideCharToMultiByte, is in wide_to_ansi.cpp.
#include <algorithm>

#include "core/code_page.h"
#include "core/profile_reader.h"
#include "core/sim_host.h"
#include "platform/win32_functions.h"

namespace {

// The profile file's Linux path: the ANSI path decoded as the host's code page turns it into
// the wide path Windows opens, short names resolved, '\\' read as a directory separator.
// Without a host, the code page is 1252 and no entry has a short name.
std::optional<std::string> ReadProfileFile(LPCSTR fileName) {
  if (fileName == nullptr) {
    return std::nullopt;
  }
  static const sim::ShortNames kNoShortNames;
  const sim::SimHost* host = sim::SimHost::Current();
  const std::optional<std::string> path = sim::Utf8FromUtf16(
      sim::FromAnsi(fileName, host != nullptr ? host->AnsiCodePage() : sim::kWesternCodePage));
  if (!path) {
    return std::nullopt;
  }
  const sim::ShortNames& shortNames = host != nullptr ? host->FileShortNames() : kNoShortNames;
  return sim::profile::ReadFile(shortNames.Resolve(*path).c_str());
}

// The profile file's Linux path from a wide path: none when it is too long for the profile
// functions (MAX_PATH with its terminator, as Wine measures it; a \\?\ prefix is taken away
// first and does not count); short names resolved, '\\' read as a directory separator.
std::optional<std::string> ReadWideProfileFile(LPCWSTR fileName) {
  if (fileName == nullptr) {
    return std::nullopt;
  }
  std::u16string wide(reinterpret_cast<const char16_t*>(fileName));
  const std::u16string_view prefix = u"\\\\?\\";
  if (wide.starts_with(prefix)) {
    wide.erase(0, prefix.size());
  }
  if (wide.size() >= MAX_PATH) {
    return std::nullopt;
  }
  const std::optional<std::string> path = sim::Utf8FromUtf16(wide);
  if (!path) {
    return std::nullopt;
  }
  static const sim::ShortNames kNoShortNames;
  const sim::SimHost* host = sim::SimHost::Current();
  const sim::ShortNames& shortNames = host != nullptr ? host->FileShortNames() : kNoShortNames;
  return sim::profile::ReadFile(shortNames.Resolve(*path).c_str());
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

// Copies `text` into a caller's buffer of `size` units as the path functions do; returns what
// they return: the units copied, or the size needed including the terminator.
DWORD CopyOut(const std::u16string& text, LPWSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() >= size) {
    return static_cast<DWORD>(text.size() + 1);
  }
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return static_cast<DWORD>(text.size());
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
  if (module != nullptr || host == nullptr || fileName == nullptr || size == 0) {
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

DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr || longPath == nullptr) {
    return 0;
  }
  const std::optional<std::string> path = sim::Utf8FromUtf16(longPath);
  const std::optional<std::string> shortened =
      path ? host->FileShortNames().Shorten(*path) : std::nullopt;
  if (!shortened) {
    return 0;
  }
  return CopyOut(sim::Utf16FromUtf8(*shortened), shortPath, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return sim::profile::GetInt(ReadProfileFile(fileName), section, key, defaultValue);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return sim::profile::GetString(ReadProfileFile(fileName), section, key, defaultValue, buffer,
                                 size);
}

UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue, LPCWSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return sim::profile::GetInt(ReadWideProfileFile(fileName), Narrow(section).c_str(),
                              Narrow(key).c_str(), defaultValue);
}

// The value as the ANSI reader gives it, widened through the host's ANSI code page.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer,
                               DWORD size, LPCWSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  if (buffer == nullptr || size == 0) {
    return 0;
  }
  std::string narrow(size, '\0');
  const DWORD length = sim::profile::GetString(ReadWideProfileFile(fileName),
                                               Narrow(section).c_str(), Narrow(key).c_str(),
                                               Narrow(defaultValue).c_str(), narrow.data(), size);
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
