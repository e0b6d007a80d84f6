// The few Windows types and the four Win32 functions the plug-in uses, for Linux builds where
// <windows.h> is absent. The simulated host defines the functions; the types keep the widths the
// plug-in relies on (DWORD is 32 bits here as on Windows).
#pragma once

#include <cstdint>

struct HINSTANCE__ {
  int unused;
};
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef unsigned long long UINT64;
typedef UINT64* PUINT64;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Linux builds link the host functions statically: nothing to import or export.
#define HOLDOUT_HOST_API
#define HOLDOUT_PLUGIN_EXPORT

extern "C" {
// Milliseconds since the (simulated) system started; wraps every 49.7 days.
DWORD GetTickCount();
// Full path of the module's file (null: the host executable); returns the characters copied, or
// the buffer size when the name was cut.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// Integer value of section/key in the profile file, or defaultValue when absent.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
// Copies the text value of section/key (or defaultValue) into buffer; returns its length.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
}
