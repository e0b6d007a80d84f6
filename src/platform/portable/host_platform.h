// The few Windows types and macros the plug-in uses, declared here for the builds that do without
// <windows.h> and link the seam's functions in rather than import them: on Linux, where the
// simulated host defines the host and Win32 functions, and for tools built for Windows that
// carry the plug-in's settings code. The types keep the widths the plug-in relies on (DWORD is
// 32 bits here as on Windows). The Win32 functions are declared in platform/win32_functions.h.
#pragma once

#include <cstdint>

struct HINSTANCE__ {  // NOLINT(readability-identifier-naming): Windows's own name
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
// UTF-16 as on Windows, whatever the width of the platform's wchar_t.
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

#define WINAPI
#define WINBASEAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// The host functions are linked in: nothing to import or export.
#define HOLDOUT_HOST_API
#define HOLDOUT_PLUGIN_EXPORT
