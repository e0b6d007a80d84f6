// The holdout command: runs the plug-in in the simulated game. Sub-commands: demo.
#include <cstdio>
#include <cstring>

#include "demo.h"

namespace {

void PrintUsage() {
  std::printf(
      "usage: holdout <command> [options]\n"
      "\n"
      "commands:\n"
      "  demo [--frames N]   play a scripted session of the plug-in in the simulated game\n"
      "                      and print what it did, frame by frame\n"
      "\n"
      "exit codes: 0 success, 1 the plug-in misbehaved, 2 bad usage\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  if (std::strcmp(argv[1], "demo") == 0) {
    if (argc > 2 && std::strcmp(argv[2], "--help") == 0) {
      PrintUsage();
      return 0;
    }
    return RunDemo(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "holdout: unknown command '%s'\n", argv[1]);
  PrintUsage();
  return 2;
}
