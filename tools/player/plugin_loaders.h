// The names plug-in loaders go by, and the folders they load from. A game does not load script
// plug-ins itself: a small proxy DLL, shipped with the script host, sits in the game's folder
// under the name of a system library the game loads, is found there before the system's own
// copy, and loads every *.asi file of the game's folder, then of its subfolders scripts\ and
// plugins\. These are the library names such proxies commonly take, in the order doctor looks
// for them, and those subfolders in the order loaders search them.
#pragma once

inline constexpr const char* kPluginLoaderNames[] = {
    "dinput8.dll",   "dsound.dll",      "version.dll", "winmm.dll",
    "winhttp.dll",   "wininet.dll",     "d3d9.dll",    "d3d10.dll",
    "d3d11.dll",     "d3d12.dll",       "dxgi.dll",    "xinput1_3.dll",
    "xinput1_4.dll", "xinput9_1_0.dll", "msacm32.dll", "msvfw32.dll",
};

inline constexpr const char* kPluginSubfolders[] = {"scripts", "plugins"};
