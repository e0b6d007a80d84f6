// The ANSI forms of wide paths, through WideCharToMultiByte and GetShortPathNameW. Where WCHAR
// is wchar_t (the system headers) it is UTF-16 all the same, so the UTF-16 strings here are
// handed to the functions as they are.
#include "settings/ansi_path.h"

#include "platform/win32_functions.h"

namespace {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR is a UTF-16 unit on every build");

const WCHAR* Wide(const std::u16string& text) {
  return reinterpret_cast<const WCHAR*>(text.c_str());
}

// The conversion with the given flags; nothing when the function refuses it or a character
// took the default character.
std::optional<std::string> Convert(const std::u16string& path, DWORD flags, LPBOOL usedDefault) {
  const int length = static_cast<int>(path.size());
  const int size =
      WideCharToMultiByte(CP_ACP, flags, Wide(path), length, nullptr, 0, nullptr, usedDefault);
  if (size <= 0 || (usedDefault != nullptr && *usedDefault)) {
    return std::nullopt;
  }
  std::string converted(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, Wide(path), length, converted.data(), size, nullptr,
                          nullptr) != size) {
    return std::nullopt;
  }
  return converted;
}

}  // namespace

std::optional<std::string> ExactAnsiPath(const std::u16string& path) {
  if (path.empty()) {
    return std::string();
  }
  // Without best fit, every character that would not come back as itself takes the default
  // character, which the flag reports. A UTF-8 code page refuses both the flag and the report
  // but holds every character, refusing only an unpaired surrogate when asked to.
  BOOL usedDefault = FALSE;
  if (std::optional<std::string> converted = Convert(path, WC_NO_BEST_FIT_CHARS, &usedDefault)) {
    return converted;
  }
  if (usedDefault) {
    return std::nullopt;
  }
  return Convert(path, WC_ERR_INVALID_CHARS, nullptr);
}

std::optional<std::string> AnsiFolderPath(const std::u16string& folder) {
  if (std::optional<std::string> exact = ExactAnsiPath(folder)) {
    return exact;
  }
  const DWORD needed = GetShortPathNameW(Wide(folder), nullptr, 0);
  if (needed == 0) {
    return std::nullopt;
  }
  std::u16string shortForm(needed, u'\0');
  const DWORD length =
      GetShortPathNameW(Wide(folder), reinterpret_cast<WCHAR*>(shortForm.data()), needed);
  if (length == 0 || length >= needed) {
    return std::nullopt;
  }
  shortForm.resize(length);
  return ExactAnsiPath(shortForm);
}
