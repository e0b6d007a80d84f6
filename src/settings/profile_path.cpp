// The settings file's path for the wide profile functions, through GetModuleFileNameW and
// GetShortPathNameW. Where WCHAR is wchar_t (the system headers) it is UTF-16 all the same, so
// the UTF-16 strings here are handed to the functions as they are.
#include "settings/profile_path.h"

#include <vector>

#include "platform/win32_functions.h"

namespace {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR is a UTF-16 unit on every build");

bool Fits(const std::u16string& path) {
  return path.size() < kProfilePathCapacity;
}

// The folder's short form, or nothing when the system gives none.
std::optional<std::u16string> ShortForm(const std::u16string& folder) {
  const WCHAR* const wide = reinterpret_cast<const WCHAR*>(folder.c_str());
  const DWORD needed = GetShortPathNameW(wide, nullptr, 0);
  if (needed == 0) {
    return std::nullopt;
  }
  std::u16string shortForm(needed, u'\0');
  const DWORD length = GetShortPathNameW(wide, reinterpret_cast<WCHAR*>(shortForm.data()), needed);
  if (length == 0 || length >= needed) {
    return std::nullopt;
  }
  shortForm.resize(length);
  return shortForm;
}

}  // namespace

std::optional<std::u16string> ProfileFilePath(const std::u16string& folder,
                                              std::u16string_view name) {
  std::u16string path = folder + std::u16string(name);
  if (Fits(path)) {
    return path;
  }
  const std::optional<std::u16string> shortFolder = ShortForm(folder);
  if (!shortFolder) {
    return std::nullopt;
  }
  path = *shortFolder + std::u16string(name);
  return Fits(path) ? std::optional<std::u16string>(path) : std::nullopt;
}

std::u16string ExecutableFolder() {
  std::vector<WCHAR> buffer(64);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  while (length == buffer.size()) {
    buffer.assign(buffer.size() * 2, 0);
    length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  const std::u16string executable(reinterpret_cast<const char16_t*>(buffer.data()), length);
  const std::size_t separator = executable.find_last_of(u"\\/");
  return separator == std::u16string::npos ? std::u16string(u".\\")
                                           : executable.substr(0, separator + 1);
}
