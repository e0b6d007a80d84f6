// LoaderProbe.exe: asks the system's loader whether a game folder's plug-in loads. Run as
// `LoaderProbe.exe PLUGIN HOST FOLDER...`, it starts, for each folder in turn, the copy of
// itself that lies in that folder, as `LoaderProbe.exe --load PLUGIN HOST`, so that the folder
// is the program's own folder as the game's folder is the game's. That copy loads PLUGIN with
// LoadLibrary, which loads HOST from the folder as its dependency, and checks that every
// function PLUGIN imports from HOST is bound to what HOST exports under that name: Wine binds a
// missing import to a stub and loads anyway, where Windows refuses. The copy takes nothing from
// HOST itself, so HOST's tables are read for PLUGIN's imports alone. Each folder gets one line:
// "FOLDER loaded", or "FOLDER refused REASON" with the loader's error, the unbound names, the
// exception that ended the copy, or the status with which the copy could not start. One
// process per folder keeps a crash in one from ending the others; two run at a time, and the
// lines come in the order the copies end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/import_patch.h"

namespace {

// Loading takes a tenth of a second; a load still going after this long never ends.
constexpr ULONGLONG kFolderTimeoutMs = 10000;
// Copies loading at once, as many as a build runs jobs.
constexpr std::size_t kParallelLoads = 2;
// Attempts after the first to start a folder's copy.
constexpr int kStartRetries = 3;

// A crash while loading is a refusal: the game would not get past it either.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  std::printf("refused crash 0x%08lX\n", exception->ExceptionRecord->ExceptionCode);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

int LoadInThisFolder(const char* plugin, const char* host) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(ReportCrash);
  const HMODULE loaded = LoadLibraryA(plugin);
  if (loaded == nullptr) {
    std::printf("refused error %lu\n", GetLastError());
    return 1;
  }
  const std::vector<std::string> unbound = UnboundImports(loaded, host, GetModuleHandleA(host));
  if (!unbound.empty()) {
    std::printf("refused unbound");
    for (const std::string& name : unbound) {
      std::printf(" %s", name.c_str());
    }
    std::printf("\n");
    return 1;
  }
  std::printf("loaded\n");
  return 0;
}

// A copy of this program loading one folder.
struct Probe {
  std::string folder;
  HANDLE process = nullptr;
  HANDLE output = nullptr;  // the read end of the pipe the copy prints to
  ULONGLONG started = 0;
};

// Starts the folder's copy of this program; gives why not when it cannot.
std::string Start(Probe& probe, const std::string& plugin, const std::string& host) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&probe.output, &writeEnd, &inherit, 0)) {
    return "refused probe-error pipe " + std::to_string(GetLastError());
  }
  SetHandleInformation(probe.output, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  const std::string program = probe.folder + "\\LoaderProbe.exe";
  std::string command = "LoaderProbe.exe --load " + plugin + " " + host;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, probe.folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(probe.output);
    return "refused probe-error start " + std::to_string(GetLastError());
  }
  CloseHandle(process.hThread);
  probe.process = process.hProcess;
  probe.started = GetTickCount64();
  return "";
}

// The line the copy printed, or, when it printed none, why; ends the copy if it still runs.
std::string Finish(Probe& probe) {
  const bool ended = WaitForSingleObject(probe.process, 0) == WAIT_OBJECT_0;
  if (!ended) {
    TerminateProcess(probe.process, 1);
    WaitForSingleObject(probe.process, INFINITE);
  }
  // The copy prints one short line, which the pipe holds until it is read after the copy ends.
  std::string output;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(probe.output, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  CloseHandle(probe.output);
  DWORD status = 0;
  GetExitCodeProcess(probe.process, &status);
  CloseHandle(probe.process);
  if (!ended) {
    return "refused hang";
  }
  const std::string line = output.substr(0, output.find_first_of("\r\n"));
  if (line.rfind("loaded", 0) == 0 || line.rfind("refused ", 0) == 0) {
    return line;
  }
  char text[64];
  std::snprintf(text, sizeof text, "refused start-status 0x%08lX", status);
  return text;
}

void Report(const std::string& folder, const std::string& result) {
  std::printf("%s %s\n", folder.c_str(), result.c_str());
  std::fflush(stdout);
}

// Probes the folders, kParallelLoads at a time, and reports each as it ends.
void ProbeFolders(const std::vector<std::string>& folders, const std::string& plugin,
                  const std::string& host) {
  std::vector<Probe> running;
  std::size_t next = 0;
  while (next < folders.size() || !running.empty()) {
    while (running.size() < kParallelLoads && next < folders.size()) {
      Probe probe{folders[next++]};
      // Starting the copy is no verdict of the loader's: under load, Wine now and then fails
      // to create a process, so a start is tried a few times before it is reported.
      std::string failure = Start(probe, plugin, host);
      for (int retry = 0; !failure.empty() && retry < kStartRetries; ++retry) {
        Sleep(100);
        failure = Start(probe, plugin, host);
      }
      if (failure.empty()) {
        running.push_back(probe);
      } else {
        Report(probe.folder, failure);
      }
    }
    if (running.empty()) {
      continue;
    }
    std::vector<HANDLE> processes;
    ULONGLONG firstDeadline = ~0ull;
    for (const Probe& probe : running) {
      processes.push_back(probe.process);
      firstDeadline = std::min(firstDeadline, probe.started + kFolderTimeoutMs);
    }
    const ULONGLONG now = GetTickCount64();
    const DWORD wait = firstDeadline > now ? static_cast<DWORD>(firstDeadline - now) : 0;
    const DWORD woken =
        WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, wait);
    for (std::size_t i = running.size(); i-- > 0;) {
      const bool ended = woken == WAIT_OBJECT_0 + i;
      if (ended || GetTickCount64() >= running[i].started + kFolderTimeoutMs) {
        Report(running[i].folder, Finish(running[i]));
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--load") {
    return LoadInThisFolder(argv[2], argv[3]);
  }
  if (argc < 4) {
    std::fprintf(stderr, "usage: LoaderProbe.exe PLUGIN HOST FOLDER...\n");
    return 2;
  }
  ProbeFolders(std::vector<std::string>(argv + 3, argv + argc), argv[1], argv[2]);
  return 0;
}
