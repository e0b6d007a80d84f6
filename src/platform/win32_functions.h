// The four Win32 functions the plug-in calls, each with the contract it relies on. The same
// declarations serve both builds: on Windows they repeat those of <windows.h> (brought in by the
// platform header) and bind to KERNEL32; on Linux the simulated host defines them.
#pragma once

#include "host_platform.h"

extern "C" {
// Milliseconds since the system started; wraps to 0 every 49.7 days.
WINBASEAPI DWORD WINAPI GetTickCount();
// Full path of the module's file (null: the host executable) into fileName, zero-terminated;
// returns the characters copied, or size when the name was cut to fit.
WINBASEAPI DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// The integer value of section/key in the profile file, or defaultValue when it is absent or empty.
WINBASEAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue,
                                             LPCSTR fileName);
// Copies the text value of section/key (or defaultValue) into buffer, cut to size - 1 characters
// and zero-terminated; returns the characters copied.
WINBASEAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                                 LPSTR buffer, DWORD size, LPCSTR fileName);
}
