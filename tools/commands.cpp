// The command table: each sub-command with its summary for the usage, the player's commands
// first; the developer's are listed only where they run.
#include "commands.h"

#include <cstdio>
#include <cstring>

#include "developer/demo.h"
#include "developer/play.h"
#include "developer/soak/soak.h"
#include "player/build_identity.h"
#include "player/check_ini.h"
#include "player/doctor.h"

namespace {

struct Command {
  const char* name;
  bool developer;  // plays the plug-in in the simulated game
  const char* summary;
  int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"check-ini", false,
     "read a Holdout.ini exactly as the plug-in does and explain every\n"
     "value: from the file, the default, clamped, or rejected and why",
     RunCheckIni},
    {"doctor", false,
     "tell whether Holdout will load and work in a game folder, and if\n"
     "not, why and what to do",
     RunDoctor},
    {"demo", true,
     "play a scripted session of Holdout in the simulated game and print\n"
     "the plug-in's screen and a map of the world at each key moment",
     RunDemo},
    {"play", true, "the interactive arena in this terminal", RunPlay},
    {"soak", true,
     "play a long random session with random faults at full speed and\n"
     "check after every frame that nothing the plug-in keeps went wrong",
     RunSoak},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: holdout <command> [options]   (holdout <command> --help for more)\n"
               "       holdout --version | help\n"
               "\ncommands:\n");
  for (const Command& command : kCommands) {
    if (command.developer && !kDeveloperCommandsRunHere) {
      continue;
    }
    std::fprintf(out, "  %-11s ", command.name);
    for (const char* c = command.summary; *c != '\0'; ++c) {
      std::fputc(*c, out);
      if (*c == '\n') {
        std::fprintf(out, "%14s", "");
      }
    }
    std::fputc('\n', out);
  }
  std::fputs(kDeveloperCommandsRunHere
                 ? "\nexit codes: 0 success; 1 the plug-in misbehaved (demo, play, soak), the "
                   "settings\nfile has problems (check-ini) or the game folder has (doctor); 2 "
                   "bad usage;\n3 a file or folder cannot be read\n"
                 : "\nexit codes: 0 success; 1 the settings file has problems (check-ini) or the "
                   "game\nfolder has (doctor); 2 bad usage; 3 a file or folder cannot be read\n",
             out);
}

bool Is(const char* argument, const char* a, const char* b) {
  return std::strcmp(argument, a) == 0 || std::strcmp(argument, b) == 0;
}

}  // namespace

int RunHoldout(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  if (Is(argv[1], "--help", "-h") || std::strcmp(argv[1], "help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  if (Is(argv[1], "--version", "version")) {
    std::printf("holdout %s\n", ShownBuild(OwnBuild()).c_str());
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
