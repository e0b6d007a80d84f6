// holdout.exe's entry point. Windows gives the command line in its wide form (wmain, linked
// with -municode), which holds every character of every folder name; the arguments reach the
// sub-commands as UTF-8, and the console shows UTF-8. A player who double-clicks holdout.exe
// gets a console of its own that closes when the program ends: with no arguments and no other
// program on its console, holdout.exe runs doctor on its own folder and waits for Enter.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "player/arguments.h"

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) {
    return "";
  }
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.pop_back();
  return converted;
}

// True when this program is the only one on its console: Windows made the console for it, as
// for a double-click, rather than a command prompt it was started from.
bool AloneOnItsConsole() {
  DWORD processes[2] = {};
  return GetConsoleProcessList(processes, 2) == 1;
}

// The folder holdout.exe is in, as UTF-8.
std::string OwnFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  while (length == buffer.size()) {
    buffer.assign(buffer.size() * 2, L'\0');
    length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  std::wstring path(buffer.data(), length);
  path.erase(path.find_last_of(L"\\/") + 1);
  return Utf8(path.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The console's code page outlives the program (the command prompt keeps it): restored below.
  const UINT consoleCodePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int index = 0; index < argc; ++index) {
    arguments.push_back(Utf8(argv[index]));
  }
  const bool doubleClicked = argc == 1 && AloneOnItsConsole();
  if (doubleClicked) {
    arguments.push_back("doctor");
    arguments.push_back(OwnFolder());
  }
  std::vector<char*> pointers;
  for (std::string& argument : arguments) {
    pointers.push_back(argument.data());
  }
  pointers.push_back(nullptr);
  const int status = RunHoldout(static_cast<int>(arguments.size()), pointers.data());
  if (doubleClicked) {
    std::printf(
        "\nholdout.exe runs in a command prompt too: holdout --help lists what it does.\n"
        "Press Enter to close this window.\n");
    std::fflush(stdout);
    std::getchar();
  }
  std::fflush(stdout);
  if (consoleCodePage != 0) {
    SetConsoleOutputCP(consoleCodePage);
  }
  return status;
}
