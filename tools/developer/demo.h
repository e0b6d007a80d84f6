// The demo: a scripted session of the plug-in in the simulated game, printed as it happens.
#pragma once

// Runs the demo with the command-line arguments after "demo"; returns the exit code.
int RunDemo(int argc, char** argv);
