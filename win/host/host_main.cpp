// Host.exe: loads Holdout.dll into the stand-in script host the way the game does, gives it the
// simulated host's clock in place of the system tick count, runs frames on the script context,
// unloads it and prints a line-based report of what the plug-in did.
#include <windows.h>

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

// Windows refuses to load a module that imports a name its library does not export (error
// 127); Wine loads it with a stub in place of the import. Host.exe holds the plug-in to the
// Windows rule, so a wrong binding to the host fails here and not in the game.
bool ImportsBound(HMODULE plugin, const std::string& path) {
  const char* const host = "ScriptHookFrontier.dll";
  const std::vector<std::string> unbound = UnboundImports(plugin, host, GetModuleHandleA(host));
  for (const std::string& name : unbound) {
    std::printf(
        "fault LoadLibraryA(%s): %s imports %s, which %s does not export; Windows "
        "refuses the load with error %ld (the specified procedure could not be found)\n",
        path.c_str(), path.c_str(), name.c_str(), host, ERROR_PROC_NOT_FOUND);
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
  HMODULE plugin = LoadLibraryA(options.plugin.c_str());
  if (plugin == nullptr) {
    std::printf("fault LoadLibraryA(%s) failed with error %lu\n", options.plugin.c_str(),
                GetLastError());
    return 1;
  }
  if (!ImportsBound(plugin, options.plugin)) {
    return 1;
  }
  if (PatchImport(plugin, "KERNEL32.dll", "GetTickCount",
                  reinterpret_cast<const void*>(&SimulatedTickCount)) == 0) {
    host.Fault("the plug-in does not import GetTickCount from KERNEL32.dll");
  }
  RunFrames(host, options);
  if (!FreeLibrary(plugin)) {
    host.Fault("FreeLibrary failed with error " + std::to_string(GetLastError()));
  }
  PrintReport(host);
  std::fflush(stdout);
  return host.Faults().empty() ? 0 : 1;
}
