// The holdout command: Holdout in the simulated game, for players and developers. Sub-commands:
// demo (a scripted session), play (the interactive arena), check-ini (explain a settings file),
// doctor (will Holdout load in a game folder, and if not, why), soak (a long random session
// with faults, checked frame by frame).
#include <cstdio>
#include <cstring>

#include "check_ini.h"
#include "demo.h"
#include "doctor.h"
#include "play.h"
#include "soak.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"demo", RunDemo},     {"play", RunPlay}, {"check-ini", RunCheckIni},
    {"doctor", RunDoctor}, {"soak", RunSoak},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: holdout <command> [options]   (holdout <command> --help for more)\n"
               "\n"
               "commands:\n"
               "  demo        play a scripted session of Holdout in the simulated game and print\n"
               "              the plug-in's screen and a map of the world at each key moment\n"
               "  play        the interactive arena in this terminal\n"
               "  check-ini   read a Holdout.ini exactly as the plug-in does and explain every\n"
               "              value: from the file, the default, clamped, or rejected and why\n"
               "  doctor      tell whether Holdout will load and work in a game folder, and if\n"
               "              not, why and what to do\n"
               "  soak        play a long random session with random faults at full speed and\n"
               "              check after every frame that nothing the plug-in keeps went wrong\n"
               "\n"
               "exit codes: 0 success; 1 the plug-in misbehaved (demo, play, soak), the settings\n"
               "file has problems (check-ini) or the game folder has (doctor); 2 bad usage;\n"
               "3 a file or folder cannot be read\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) {
      return command.run(argc - 2, argv + 2);
    }
  }
  std::fprintf(stderr, "holdout: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
