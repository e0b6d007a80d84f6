// play: the interactive arena in a terminal. The simulated world around the player, seen from
// above, with the plug-in's own screen over it, in real time at a steady frame rate.
#pragma once

// The play command; argv holds the arguments after "play". Returns the exit code.
int RunPlay(int argc, char** argv);
