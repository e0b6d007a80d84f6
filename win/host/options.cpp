// Parsing Host.exe's options: numbers are decimal or 0x-prefixed hexadecimal, unsigned 32-bit;
// anything else is refused rather than read as 0.
#include "options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const char* text, std::uint32_t& value) {
  if (text == nullptr || *text < '0' || *text > '9') {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 0);
  if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) {
    return false;
  }
  value = static_cast<std::uint32_t>(parsed);
  return true;
}

// "FRAME:KEY", both numbers.
bool ParseTap(const char* text, KeyTap& tap) {
  const char* colon = std::strchr(text, ':');
  if (colon == nullptr) {
    return false;
  }
  const std::string frame(text, colon);
  return ParseNumber(frame.c_str(), tap.frame) && ParseNumber(colon + 1, tap.key) && tap.frame >= 1;
}

}  // namespace

bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--exit") {
      options.exitProcess = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = option + ": unknown option or missing value";
      return false;
    }
    const char* value = argv[++i];
    std::uint32_t number = 0;
    bool valid = true;
    if (option == "--frames") {
      valid = ParseNumber(value, options.frames);
    } else if (option == "--tick") {
      valid = ParseNumber(value, number);
      options.startTick = number;
    } else if (option == "--frame-ms") {
      valid = ParseNumber(value, number);
      options.frameMs = number;
    } else if (option == "--tap") {
      KeyTap tap{};
      valid = ParseTap(value, tap);
      options.taps.push_back(tap);
    } else {
      error = option + ": unknown option";
      return false;
    }
    if (!valid) {
      error = option + " " + value + ": not a valid value";
      return false;
    }
  }
  return true;
}

const char* HostUsage() {
  return "usage: Host.exe [options]\n"
         "Starts as a game does: loads the plug-in loader dinput8.dll, which loads every *.asi\n"
         "plug-in beside Host.exe; then runs frames in the stand-in script host and prints a\n"
         "report.\n"
         "  --frames N        frames to run before unloading (default 10)\n"
         "  --tick MS         tick count before the first frame\n"
         "  --frame-ms MS     milliseconds each frame advances the clocks\n"
         "  --tap FRAME:KEY   press and release virtual key KEY just before frame FRAME\n"
         "                    (FRAME from 1; may be given more than once)\n"
         "  --exit            after the frames, report and end the process by ExitProcess with\n"
         "                    the plug-ins loaded, as a game that quits; a host function called\n"
         "                    after that is reported at once as a fault\n"
         "Report lines: 'loader loaded FILE', 'loader failed FILE: error N (TEXT)',\n"
         "'plugin FILE', 'event FRAME NAME', 'call FRAME NATIVE ARGS...', 'fault TEXT',\n"
         "'ticks-read N', 'frames N', 'exit-process'. Exit status 0 when a plug-in ran without "
         "faults, 1\n"
         "otherwise, 2 on bad usage.\n";
}
