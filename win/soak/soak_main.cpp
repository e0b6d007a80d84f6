// holdout-soak.exe: the soak of the holdout command built for Windows, a developer's program
// that is not shipped. It plays the plug-in as the Windows compiler and C runtime build it, in
// the simulated game with the fiber script context, so that a fault only that build has shows
// under Wine. It takes the command line of 'holdout soak', with or without the word "soak".
#include <cstring>

#include "developer/soak/soak.h"

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "soak") == 0) {
    first = 2;
  }
  return RunSoak(argc - first, argv + first);
}
