// The Win32 functions the plug-in calls, each with the contract it relies on. The same
// declarations serve both builds: on Windows they repeat those of <windows.h> (brought in by the
// platform header) and bind to KERNEL32; on Linux the simulated host defines them.
#pragma once

#include "host_platform.h"

extern "C" {
// Milliseconds since the system started; wraps to 0 every 49.7 days.
WINBASEAPI DWORD WINAPI GetTickCount();
// Full path of the module's file (null: the host executable) into fileName, zero-terminated;
// returns the characters copied, or size when the name was cut to fit.
WINBASEAPI DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
// The short form of an existing file's or folder's path: each part that has a short (8.3) name
// spelled by it, the others as they are. Returns the characters copied; when size is too small,
// the size needed including the terminating zero; 0 on failure (no such path).
WINBASEAPI DWORD WINAPI GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size);
// Converts wideLength UTF-16 units to the code page into multiByte (size 0: only counts);
// returns the bytes written or needed, 0 on failure. A character the code page cannot hold
// becomes the default character and sets *usedDefaultChar; WC_NO_BEST_FIT_CHARS turns
// look-alikes into the default character too. With CP_UTF8 as the code page, usedDefaultChar
// must be null and flags 0 or WC_ERR_INVALID_CHARS (which fails on an unpaired surrogate).
WINBASEAPI int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                                          LPSTR multiByte, int size, LPCSTR defaultChar,
                                          LPBOOL usedDefaultChar);
// The integer value of section/key in the profile file, or defaultValue when it is absent or empty.
WINBASEAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue,
                                             LPCSTR fileName);
// Copies the text value of section/key (or defaultValue) into buffer, cut to size - 1 characters
// and zero-terminated; returns the characters copied.
WINBASEAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                                 LPSTR buffer, DWORD size, LPCSTR fileName);
// The wide forms of the two above: the same reading of the file, whose encoding they take from
// the file as the ANSI ones do, opened by its wide path. Under Wine they open a path of at most
// MAX_PATH - 1 characters, a \\?\ prefix aside; Windows documents no limit of
// theirs, and the plug-in keeps to Wine's.
WINBASEAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue,
                                             LPCWSTR fileName);
WINBASEAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                                 LPWSTR buffer, DWORD size, LPCWSTR fileName);
}
