// The Linux build runs the developer's commands: it carries the simulated game they play in.
#include "commands.h"

const bool kDeveloperCommandsRunHere = true;
