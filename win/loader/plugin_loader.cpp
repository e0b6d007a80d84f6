// The stand-in plug-in loader. Games do not load script plug-ins by name: a small proxy DLL,
// placed in the game's folder under the name of a system library the game loads (here
// dinput8.dll), is found there before the system's own, and it loads every file of the game's
// folder whose name ends in ".asi". Each such file is an ordinary DLL; the Windows loader then
// loads the script host it imports as its dependency. This proxy does the same when the game
// (Host.exe) loads it: every *.asi beside the game's executable, then every *.asi of the
// subfolders scripts\ and plugins\, as widely used loaders search them; within a folder in the
// order of their names compared without regard to case, each with LoadLibraryW. A file that fails
// is reported with the loader's error, and the next one is loaded all the same. Files ending in
// ".dll" are never loaded. Whoever imports dinput8.dll in the game's process gets this file, so
// it exports every function the system's own dinput8.dll exports (plugin_loader.def) and passes
// each call on to that copy, loaded from the system folder when first called.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// The folder of the process's executable, with its trailing backslash.
std::wstring GameFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return L"";
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

// The plug-in files of the folder, sorted. The pattern "*.asi" also matches names with a longer
// extension through their short 8.3 names ("a.asi2" as "A~1.ASI"), so the long name is checked.
std::vector<std::wstring> PluginFiles(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"*.asi").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    const std::wstring name = entry.cFileName;
    const bool isFile = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (isFile && name.size() > 4 && Lower(name.substr(name.size() - 4)) == L".asi") {
      names.push_back(name);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
  return names;
}

// The name in UTF-8, for the report.
std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

// The system's text for an error code, on one line, its placeholder for a file name filled.
std::string ErrorText(DWORD error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
  std::string line(text, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '.')) {
    line.pop_back();
  }
  const std::size_t placeholder = line.find("%1");
  if (placeholder != std::string::npos) {
    line.replace(placeholder, 2, "the file");
  }
  return line.empty() ? "no description" : line;
}

int loadedPlugins = 0;

// The folders searched after the game's own, relative to it, in order.
constexpr const wchar_t* kSubfolders[] = {L"scripts\\", L"plugins\\"};

// Loads the plug-ins of `subfolder` (empty: the game folder itself), reported by their paths
// relative to the game folder.
void LoadPluginsOf(const std::wstring& gameFolder, const std::wstring& subfolder) {
  const std::wstring folder = gameFolder + subfolder;
  for (const std::wstring& name : PluginFiles(folder)) {
    const std::string printable = Utf8(subfolder + name);
    if (LoadLibraryW((folder + name).c_str()) != nullptr) {
      std::printf("loader loaded %s\n", printable.c_str());
      ++loadedPlugins;
    } else {
      const DWORD error = GetLastError();
      std::printf("loader failed %s: error %lu (%s)\n", printable.c_str(), error,
                  ErrorText(error).c_str());
    }
  }
}

void LoadPlugins() {
  const std::wstring folder = GameFolder();
  LoadPluginsOf(folder, L"");
  for (const wchar_t* subfolder : kSubfolders) {
    LoadPluginsOf(folder, subfolder);
  }
  std::fflush(stdout);
}

// The system's own dinput8.dll, from the system folder; null when it cannot be loaded.
HMODULE SystemLibrary() {
  static const HMODULE kLibrary = [] {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
      return HMODULE{};
    }
    folder.resize(length);
    return LoadLibraryW((folder + L"\\dinput8.dll").c_str());
  }();
  return kLibrary;
}

// The system copy's function of this name, as the type `Function`; null when there is none.
template <typename Function>
Function SystemFunction(const char* name) {
  const HMODULE library = SystemLibrary();
  return library == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

// The functions of the system's dinput8.dll, exported under their own names by
// plugin_loader.def; each passes the call on, or fails as the system's would without its copy.
extern "C" HRESULT WINAPI ProxyDirectInput8Create(HINSTANCE instance, DWORD version,
                                                  const IID* interfaceId, void** out,
                                                  IUnknown* outer) {
  using Create = HRESULT(WINAPI*)(HINSTANCE, DWORD, const IID*, void**, IUnknown*);
  const Create create = SystemFunction<Create>("DirectInput8Create");
  return create == nullptr ? E_FAIL : create(instance, version, interfaceId, out, outer);
}

extern "C" HRESULT WINAPI ProxyDllCanUnloadNow() {
  using CanUnload = HRESULT(WINAPI*)();
  const CanUnload canUnload = SystemFunction<CanUnload>("DllCanUnloadNow");
  return canUnload == nullptr ? S_FALSE : canUnload();
}

extern "C" HRESULT WINAPI ProxyDllGetClassObject(const CLSID* classId, const IID* interfaceId,
                                                 void** out) {
  using GetClassObject = HRESULT(WINAPI*)(const CLSID*, const IID*, void**);
  const GetClassObject get = SystemFunction<GetClassObject>("DllGetClassObject");
  return get == nullptr ? CLASS_E_CLASSNOTAVAILABLE : get(classId, interfaceId, out);
}

extern "C" HRESULT WINAPI ProxyDllRegisterServer() {
  using Register = HRESULT(WINAPI*)();
  const Register call = SystemFunction<Register>("DllRegisterServer");
  return call == nullptr ? E_FAIL : call();
}

extern "C" HRESULT WINAPI ProxyDllUnregisterServer() {
  using Register = HRESULT(WINAPI*)();
  const Register call = SystemFunction<Register>("DllUnregisterServer");
  return call == nullptr ? E_FAIL : call();
}

// How many plug-ins loaded. The game never asks; Host.exe does, to tell this loader from the
// system's library of the same name, which Wine may load in its place.
extern "C" int LoadedPluginCount() {
  return loadedPlugins;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    LoadPlugins();
  }
  return TRUE;
}
