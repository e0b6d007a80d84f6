// The holdout command: runs the plug-in in the simulated game. Sub-commands: demo, check-ini.
#include <cstdio>
#include <cstring>

#include "check_ini.h"
#include "demo.h"

namespace {

void PrintUsage() {
  std::printf(
      "usage: holdout <command> [options]\n"
      "\n"
      "commands:\n"
      "  demo [--frames N]   play a scripted session of the plug-in in the simulated game\n"
      "                      and print what it did, frame by frame\n"
      "  check-ini [PATH]    read a Holdout.ini (default: ./Holdout.ini) exactly as the\n"
      "                      plug-in does and explain every value: from the file, the\n"
      "                      default, clamped, or rejected and why\n"
      "\n"
      "exit codes: 0 success; 1 demo: the plug-in misbehaved, check-ini: problems found;\n"
      "            2 bad usage; 3 check-ini: the file cannot be read\n");
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
  if (std::strcmp(argv[1], "check-ini") == 0) {
    if (argc > 2 && std::strcmp(argv[2], "--help") == 0) {
      PrintUsage();
      return 0;
    }
    return RunCheckIni(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "holdout: unknown command '%s'\n", argv[1]);
  PrintUsage();
  return 2;
}
