// soak: the plug-in at full speed in a long seeded random session with random faults, the
// session invariants checked after every frame.
#pragma once

// Runs the soak with the command-line arguments after "soak"; returns the exit code.
int RunSoak(int argc, char** argv);
