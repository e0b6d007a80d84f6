// The few Windows types and macros the plug-in uses, for Linux builds where <windows.h> is absent.
// The types keep the widths the plug-in relies on (DWORD is 32 bits here as on Windows). The
// Win32 functions are declared in platform/win32_functions.h; the simulated host defines them.
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
#define WINBASEAPI
#define TRUE 1
#define FALSE 0
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Linux builds link the host functions statically: nothing to import or export.
#define HOLDOUT_HOST_API
#define HOLDOUT_PLUGIN_EXPORT
