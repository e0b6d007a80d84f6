// The holdout command's sub-commands and its own options (help, --version), dispatched from the
// arguments; the program's entry point on each platform hands its arguments here as UTF-8.
#pragma once

// Whether this build runs the developer's commands (demo, play, soak), which play the plug-in
// in the simulated game. The Linux build does; holdout.exe neither offers them nor runs them.
extern const bool kDeveloperCommandsRunHere;

// Runs the command line: argv[1] names the sub-command. Returns the exit code.
int RunHoldout(int argc, char** argv);
