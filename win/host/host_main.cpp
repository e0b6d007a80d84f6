// Host.exe: stands in for the game. It starts the stand-in script host, then loads the plug-in
// loader the way a game loads one of its system libraries (dinput8.dll by name, so the proxy in
// its folder is found first), and the loader loads every *.asi plug-in of the folder. Each
// plug-in that loaded gets the simulated host's clock in place of the system tick count; frames
// run on the script context; the plug-ins are unloaded and a line-based report says what they
// did (the texts they drew among it, a line break shown as '|'). With --exit the process ends instead by ExitProcess while the plug-ins are loaded, as a
// game that quits: Windows then detaches them with the process-exit reason, and any host
// function they call from then on is reported as it happens.
#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "core/sim_host.h"
#include "import_patch.h"
#include "options.h"

namespace {

std::uint64_t ticksRead = 0;

// Stands in for KERNEL32's GetTickCount inside the plug-in: the simulated host's clock, counted
// as a host call like every other call the script makes.
DWORD WINAPI SimulatedTickCount() {
  ++ticksRead;
  sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr) {
    return 0;
  }
  host->CountHostCall();
  return host->TickCount();
}

// A crash in the plug-in (or the host) still leaves a checkable line behind.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  std::printf("fault unhandled exception 0x%08lX at %p\n",
              exception->ExceptionRecord->ExceptionCode,
              exception->ExceptionRecord->ExceptionAddress);
  std::fflush(stdout);
  return EXCEPTION_EXECUTE_HANDLER;
}

const char* EventName(sim::HostEvent event) {
  switch (event) {
    case sim::HostEvent::kScriptRegistered:
      return "script-registered";
    case sim::HostEvent::kScriptUnregistered:
      return "script-unregistered";
    case sim::HostEvent::kKeyboardHandlerRegistered:
      return "keyboard-handler-registered";
    case sim::HostEvent::kKeyboardHandlerUnregistered:
      return "keyboard-handler-unregistered";
  }
  return "unknown";
}

constexpr const char* kHostLibrary = "ScriptHookFrontier.dll";
constexpr const char* kPluginLoader = "dinput8.dll";

// A module's file name without its folder, in UTF-8. The full path is read in its wide form at
// any length, as a game folder may be deeper than MAX_PATH or named in any language.
std::string FileNameOf(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  while (length == path.size()) {
    path.resize(path.size() * 2);
    length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  }
  path.resize(length);
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  const int size = WideCharToMultiByte(CP_UTF8, 0, name.c_str(), static_cast<int>(name.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, name.c_str(), static_cast<int>(name.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

bool EndsWithAsi(const std::string& name) {
  std::string end = name.size() >= 4 ? name.substr(name.size() - 4) : "";
  std::transform(end.begin(), end.end(), end.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return end == ".asi";
}

// The plug-ins the loader left loaded: every module of the process whose file ends in ".asi".
std::vector<HMODULE> LoadedPlugins() {
  std::vector<HMODULE> modules(256);
  DWORD bytes = 0;
  if (!EnumProcessModules(GetCurrentProcess(), modules.data(),
                          static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &bytes)) {
    return {};
  }
  modules.resize(std::min<std::size_t>(modules.size(), bytes / sizeof(HMODULE)));
  std::vector<HMODULE> plugins;
  for (HMODULE module : modules) {
    if (EndsWithAsi(FileNameOf(module))) {
      plugins.push_back(module);
    }
  }
  return plugins;
}

// Loads the plug-in loader as the game loads the library it stands in for. A loader that is
// missing, or that is the system's own library rather than the folder's proxy, loads nothing.
bool StartLoader() {
  const HMODULE loader = LoadLibraryA(kPluginLoader);
  if (loader == nullptr) {
    std::printf("fault LoadLibraryA(%s) failed with error %lu\n", kPluginLoader, GetLastError());
    return false;
  }
  if (GetProcAddress(loader, "LoadedPluginCount") == nullptr) {
    std::printf(
        "fault %s is the system's library, not the plug-in loader of the game's folder (under "
        "Wine, WINEDLLOVERRIDES=\"dinput8=n,b\" makes Wine prefer the folder's)\n",
        kPluginLoader);
    return false;
  }
  return true;
}

// Windows refuses to load a module that imports a name its library does not export (error
// 127); Wine loads it with a stub in place of the import. Host.exe holds each plug-in to the
// Windows rule, so a wrong binding to the host fails here and not in the game.
bool ImportsBound(HMODULE plugin, const std::string& name) {
  const std::vector<std::string> unbound =
      UnboundImports(plugin, kHostLibrary, GetModuleHandleA(kHostLibrary));
  for (const std::string& function : unbound) {
    std::printf(
        "fault LoadLibrary(%s): %s imports %s, which %s does not export; Windows "
        "refuses the load with error %ld (the specified procedure could not be found)\n",
        name.c_str(), name.c_str(), function.c_str(), kHostLibrary, ERROR_PROC_NOT_FOUND);
  }
  return unbound.empty();
}

void RunFrames(sim::SimHost& host, const HostOptions& options) {
  for (std::uint32_t frame = 1; frame <= options.frames; ++frame) {
    for (const KeyTap& tap : options.taps) {
      if (tap.frame == frame) {
        host.TapKey(tap.key);
      }
    }
    host.RunFrame();
  }
}

void PrintReport(sim::SimHost& host) {
  for (const sim::HostEventRecord& record : host.Events()) {
    std::printf("event %" PRIu32 " %s\n", record.frame, EventName(record.event));
  }
  for (const sim::RecordedCall& call : host.Calls().All()) {
    std::printf("call %" PRIu32 " %s", call.frame, host.Natives().NameOf(call.hash).c_str());
    for (const std::uint64_t argument : call.args) {
      std::printf(" %" PRIu64, argument);
    }
    std::printf("\n");
  }
  for (const sim::DrawnText& text : host.Screen().Texts()) {
    std::string oneLine = text.text;
    std::replace(oneLine.begin(), oneLine.end(), '\n', '|');
    std::printf("text %" PRIu32 " %s\n", text.frame, oneLine.c_str());
  }
  for (const std::string& fault : host.Faults()) {
    std::printf("fault %s\n", fault.c_str());
  }
  std::printf("ticks-read %" PRIu64 "\n", ticksRead);
  std::printf("frames %" PRIu32 "\n", host.Frame());
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  std::string error;
  if (!ParseHostOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "Host.exe: %s\n%s", error.c_str(), HostUsage());
    return 2;
  }
  if (options.help) {
    std::printf("%s", HostUsage());
    return 0;
  }
  SetUnhandledExceptionFilter(ReportCrash);

  sim::SimHost host;
  if (options.startTick) {
    host.SetTickCount(*options.startTick);
  }
  if (options.frameMs) {
    host.SetFrameDuration(*options.frameMs);
  }
  if (!StartLoader()) {
    return 1;
  }
  // A plug-in whose binding Windows would refuse is unloaded again; the others run.
  std::vector<HMODULE> plugins;
  bool refused = false;
  for (HMODULE plugin : LoadedPlugins()) {
    const std::string name = FileNameOf(plugin);
    if (!ImportsBound(plugin, name)) {
      refused = true;
      FreeLibrary(plugin);
      continue;
    }
    std::printf("plugin %s\n", name.c_str());
    if (PatchImport(plugin, "KERNEL32.dll", "GetTickCount",
                    reinterpret_cast<const void*>(&SimulatedTickCount)) == 0) {
      host.Fault(name + " does not import GetTickCount from KERNEL32.dll");
    }
    plugins.push_back(plugin);
  }
  if (plugins.empty()) {
    if (!refused) {
      std::printf(
          "fault no plug-in was loaded: the plug-in loader loads only files ending in .asi "
          "from the game's folder\n");
    }
    return 1;
  }
  RunFrames(host, options);
  if (options.exitProcess) {
    PrintReport(host);
    std::printf("exit-process\n");
    std::fflush(stdout);
    const UINT status = host.Faults().empty() && !refused ? 0 : 1;
    host.EchoFaults(stdout);
    host.BeginExitDetach();
    ExitProcess(status);
  }
  for (HMODULE plugin : plugins) {
    if (!FreeLibrary(plugin)) {
      host.Fault("FreeLibrary failed with error " + std::to_string(GetLastError()));
    }
  }
  PrintReport(host);
  std::fflush(stdout);
  return host.Faults().empty() && !refused ? 0 : 1;
}
