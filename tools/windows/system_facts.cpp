// System facts on Windows. Wine's ntdll exports wine_get_version, which Windows's never does.
// Whether a folder's path survives the ANSI code page, and which path the plug-in hands the ANSI
// functions otherwise, is asked through the plug-in's own code (settings/ansi_path.h).
#include "system_facts.h"

#include <windows.h>

#include "settings/ansi_path.h"

bool GamesRunThroughWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<AnsiPathFacts> PathAsAnsiFunctionsSeeIt(const std::filesystem::path& folder) {
  std::error_code error;
  std::wstring path = std::filesystem::absolute(folder, error).native();
  if (error) {
    return std::nullopt;
  }
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
    path += L'\\';
  }
  const std::u16string wide(path.begin(), path.end());
  if (ExactAnsiPath(wide)) {
    return std::nullopt;
  }
  AnsiPathFacts facts;
  const int length = static_cast<int>(path.size());
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), length, nullptr,
                                       0, nullptr, nullptr);
  if (size > 0) {
    facts.seen.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), length, facts.seen.data(), size,
                        nullptr, nullptr);
  }
  facts.shortForm = AnsiFolderPath(wide);
  return facts;
}
