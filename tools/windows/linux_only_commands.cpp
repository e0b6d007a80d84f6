// The sub-commands holdout.exe leaves out. The Windows build carries what a player needs in a
// game folder (check-ini, doctor) and the soak; the arena and the demo run in the Linux build,
// where play has its terminal library. Asking for them says so instead of failing obscurely.
#include <cstdio>

#include "demo.h"
#include "play.h"

namespace {

int LinuxOnly(const char* command) {
  std::fprintf(stderr,
               "holdout.exe: '%s' is part of the Linux holdout command only; holdout.exe has "
               "check-ini, doctor and soak\n",
               command);
  return 2;
}

}  // namespace

int RunDemo(int, char**) {
  return LinuxOnly("demo");
}

int RunPlay(int, char**) {
  return LinuxOnly("play");
}
