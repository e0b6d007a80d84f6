// The holdout command: Holdout in the simulated game, for players and developers. Sub-commands:
// demo (a scripted session), play (the interactive arena), check-ini (explain a settings file),
// doctor (will Holdout load in a game folder, and if not, why), soak (a long random session
// with faults, checked frame by frame). Linux hands the arguments over as they are (UTF-8).
#include "commands.h"

int main(int argc, char** argv) {
  return RunHoldout(argc, argv);
}
