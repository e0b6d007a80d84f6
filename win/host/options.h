// Command-line options of Host.exe: how many frames to run, the clocks, and key taps to deliver
// between frames. Which plug-ins run is not an option: the plug-in loader beside Host.exe
// decides, as in a game folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A key pressed and released just before a frame runs.
struct KeyTap {
  std::uint32_t frame;
  std::uint32_t key;  // Windows virtual-key code
};

struct HostOptions {
  std::uint32_t frames = 10;
  std::optional<std::uint32_t> startTick;  // the host's own start value when absent
  std::optional<std::uint32_t> frameMs;    // the host's own frame length when absent
  std::vector<KeyTap> taps;
  bool exitProcess = false;  // end by ExitProcess with the plug-ins loaded, not by unloading them
  bool help = false;
};

// Reads argv into options; false with a message in `error` when an option is unknown, lacks
// its value or has a malformed one.
bool ParseHostOptions(int argc, char** argv, HostOptions& options, std::string& error);

// The usage text printed for --help and after an error.
const char* HostUsage();
