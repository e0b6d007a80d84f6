// Included ahead of every source of the stand-in host (the build forces it in): <windows.h>
// without the macros that collide with the simulated host's own names. <windows.h> defines
// Yield() as an empty macro, which would erase ScriptContext::Yield wherever both are seen.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef Yield
