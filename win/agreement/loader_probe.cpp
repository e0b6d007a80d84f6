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
// process per folder keeps a crash in one from ending the others.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/import_patch.h"

namespace {

// Loading takes a tenth of a second; a load still going after this long never ends.
constexpr DWORD kFolderTimeoutMs = 10000;

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

// Runs the folder's copy of this program and gives the line it printed, or, when it printed
// none, why.
std::string ProbeFolder(const std::string& folder, const std::string& plugin,
                        const std::string& host) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    return "refused probe-error pipe " + std::to_string(GetLastError());
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  const std::string program = folder + "\\LoaderProbe.exe";
  std::string command = "LoaderProbe.exe --load " + plugin + " " + host;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return "refused probe-error start " + std::to_string(GetLastError());
  }
  // The copy prints one short line, which the pipe holds until it is read after the copy ends.
  const bool ended = WaitForSingleObject(process.hProcess, kFolderTimeoutMs) == WAIT_OBJECT_0;
  if (!ended) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  std::string output;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  CloseHandle(readEnd);
  if (!ended) {
    output = "refused hang\n";
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const std::size_t end = output.find_first_of("\r\n");
  const std::string line = output.substr(0, end);
  if (line.rfind("loaded", 0) == 0 || line.rfind("refused ", 0) == 0) {
    return line;
  }
  char text[64];
  std::snprintf(text, sizeof text, "refused start-status 0x%08lX", status);
  return text;
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
  for (int i = 3; i < argc; ++i) {
    std::printf("%s %s\n", argv[i], ProbeFolder(argv[i], argv[1], argv[2]).c_str());
    std::fflush(stdout);
  }
  return 0;
}
