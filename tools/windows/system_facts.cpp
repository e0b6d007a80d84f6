// System facts on Windows. Wine's ntdll exports wine_get_version, which Windows's never does.
// A path survives the ANSI code page when converting it without best-fit look-alikes needs no
// default character; with UTF-8 as the ANSI code page every path survives.
#include "system_facts.h"

#include <windows.h>

bool GamesRunThroughWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<std::string> PathAsAnsiFunctionsSeeIt(const std::filesystem::path& folder) {
  if (GetACP() == CP_UTF8) {
    return std::nullopt;
  }
  std::error_code error;
  const std::wstring path = std::filesystem::absolute(folder, error).native();
  if (error) {
    return std::nullopt;
  }
  const int length = static_cast<int>(path.size());
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), length, nullptr,
                                       0, nullptr, &lost);
  if (size <= 0 || !lost) {
    return std::nullopt;
  }
  std::string seen(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), length, seen.data(), size,
                      nullptr, nullptr);
  return seen;
}
