// The survival run (being built: the frame loop's calls are in place).
#include "survival/run.h"

RunState runState;

void OnActivateKey() {}

void RunTick() {}
