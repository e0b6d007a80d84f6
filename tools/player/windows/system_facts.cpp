// System facts on Windows. Wine's ntdll exports wine_get_version, which Windows's never does.
// The system folder is the one Windows names (under Wine, the prefix's system32).
// Whether the profile functions open the settings file's path, and which temp folder its copy
// goes to, is asked through the plug-in's own code (settings/profile_path.h); whether a file can
// be created there is found by trying, as doctor finds it for the game folder.
#include "player/system_facts.h"

#include <windows.h>

#include "player/arguments.h"
#include "player/file_access.h"
#include "settings/profile_path.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kLongPathPrefix = L"\\\\?\\";

// The path spelled by its long names; nothing when Windows cannot tell them.
std::optional<std::wstring> LongNames(const std::wstring& path) {
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  std::wstring longForm(needed, L'\0');
  const DWORD length = needed == 0 ? 0 : GetLongPathNameW(path.c_str(), longForm.data(), needed);
  if (length == 0 || length >= needed) {
    return std::nullopt;
  }
  longForm.resize(length);
  return longForm;
}

// The path spelled with the long names of its parts, as the game reports its folder; the path
// as it is when Windows cannot tell them. doctor may have been given short names, or have
// shortened a long path itself to open it. The plain path is asked first: Wine expands the short
// names of a path only without the \\?\ prefix, and Windows needs the prefix only when the
// plain path is refused for its length.
std::wstring LongForm(const std::wstring& path) {
  if (const std::optional<std::wstring> plain = LongNames(path)) {
    return *plain;
  }
  if (path.starts_with(L"\\\\")) {
    return path;
  }
  const std::optional<std::wstring> prefixed = LongNames(kLongPathPrefix + path);
  if (!prefixed || !prefixed->starts_with(kLongPathPrefix)) {
    return path;
  }
  return prefixed->substr(kLongPathPrefix.size());
}

// The temp folder as Windows names it, however long; empty when it names none.
std::wstring NamedTempFolder() {
  std::wstring folder(MAX_PATH + 1, L'\0');
  DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (length > folder.size()) {
    folder.assign(length, L'\0');
    length = GetTempPathW(length, folder.data());
  }
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

// The folder's full path as the game reports it (its long names, no \\?\ prefix); nothing when
// it cannot be made absolute.
std::optional<std::wstring> GamePath(const fs::path& folder) {
  std::error_code error;
  std::wstring path = LongForm(fs::absolute(folder, error).native());
  if (error) {
    return std::nullopt;
  }
  if (path.starts_with(kLongPathPrefix)) {
    path.erase(0, kLongPathPrefix.size());
  }
  return path;
}

}  // namespace

bool GamesRunThroughWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::optional<SettingsCopyFacts> SettingsReadThroughCopy(const fs::path& folder) {
  const std::optional<std::wstring> gamePath = GamePath(folder);
  if (!gamePath) {
    return std::nullopt;
  }
  std::wstring path = *gamePath;
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
    path += L'\\';
  }
  path += L"Holdout.ini";
  const std::u16string wide(path.begin(), path.end());
  if (ProfileFunctionsOpen(wide)) {
    return std::nullopt;
  }
  SettingsCopyFacts facts;
  facts.pathLength = wide.size();
  const std::wstring named = NamedTempFolder();
  facts.tempFolder = ShownPath(named);
  if (named.empty()) {
    facts.whyNoCopy = "Windows names no temp folder";
    return facts;
  }
  if (!TempFolderForCopy()) {
    facts.whyNoCopy = "the temp folder " + facts.tempFolder + " has a path of " +
                      std::to_string(named.size()) + " characters, more than the " +
                      std::to_string(kTempFolderCapacity) + " Windows makes a temporary file in";
    return facts;
  }
  const fs::path temp(named);
  std::error_code error;
  if (!fs::is_directory(temp, error)) {
    facts.whyNoCopy = "the temp folder " + facts.tempFolder + " does not exist";
    return facts;
  }
  const AccessAnswer create = TryCreatingIn(temp);
  if (!create.allowed) {
    facts.whyNoCopy =
        "no file can be created in the temp folder " + facts.tempFolder + " (" + create.why + ")";
  }
  return facts;
}

SystemFolder SystemLibraryFolder() {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  std::wstring folder(needed, L'\0');
  const UINT length = needed == 0 ? 0 : GetSystemDirectoryW(folder.data(), needed);
  if (length == 0 || length >= needed) {
    return {.path = std::nullopt, .whyNone = "Windows names no system folder"};
  }
  folder.resize(length);
  return {.path = fs::path(folder), .whyNone = ""};
}

std::optional<WorkingFolderElsewhere> WorkingFolderInstead(const fs::path& folder) {
  const std::optional<std::wstring> gamePath = GamePath(folder);
  if (!gamePath) {
    return std::nullopt;
  }
  std::wstring path = *gamePath;
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
    path.pop_back();
  }
  if (path.size() <= kWorkingFolderCapacity) {
    return std::nullopt;
  }
  WorkingFolderElsewhere facts{.pathLength = path.size(), .instead = std::nullopt};
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH + 1);
  if (GamesRunThroughWine() && length > 0 && length <= MAX_PATH) {
    facts.instead = fs::path(std::wstring(windows, length));
  }
  return facts;
}

LogFallback LogFallbackPlace() {
  const DWORD needed = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
  std::wstring folder(needed, L'\0');
  const DWORD length =
      needed == 0 ? 0 : GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), needed);
  if (length == 0 || length >= needed) {
    return {.shown = "%LOCALAPPDATA%\\Holdout\\Holdout.log (this system names no such folder)",
            .localAppData = std::nullopt};
  }
  folder.resize(length);
  const fs::path localAppData(folder);
  return {.shown = ShownPath(localAppData / "Holdout" / "Holdout.log"),
          .localAppData = localAppData};
}
