// Windows types and the Win32 functions the plug-in uses, from the real system headers.
// The host functions are imported from ScriptHookFrontier.dll unless a build that defines them
// (the stand-in host) says otherwise.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#ifndef HOLDOUT_HOST_API
#define HOLDOUT_HOST_API __declspec(dllimport)
#endif
#define HOLDOUT_PLUGIN_EXPORT __declspec(dllexport)

// A line of a text file as the C runtime's text mode ends it on Windows.
constexpr char kTextLineEnd[] = "\r\n";
