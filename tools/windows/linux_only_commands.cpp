// The sub-commands holdout.exe leaves out. The Windows build carries what a player needs in a
// game folder (check-ini, doctor); the developer's commands, which play the plug-in in the
// simulated game, run in the Linux build: its usage does not offer them, and asking for them
// says so instead of failing obscurely.
#include <cstdio>

#include "commands.h"
#include "developer/demo.h"
#include "developer/play.h"
#include "developer/soak/soak.h"

namespace {

int LinuxOnly(const char* command) {
  std::fprintf(stderr,
               "holdout.exe: '%s' is part of the Linux holdout command only; holdout.exe has "
               "check-ini and doctor\n",
               command);
  return 2;
}

}  // namespace

const bool kDeveloperCommandsRunHere = false;

int RunDemo(int, char**) {
  return LinuxOnly("demo");
}

int RunPlay(int, char**) {
  return LinuxOnly("play");
}

int RunSoak(int, char**) {
  return LinuxOnly("soak");
}
