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
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef void* HANDLE;
// The plug-in passes no security attributes and does no overlapped input or output: both are
// always null, so an untyped pointer stands for each.
typedef void* LPSECURITY_ATTRIBUTES;
typedef void* LPOVERLAPPED;
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
#define FILE_APPEND_DATA 0x0004
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define OPEN_ALWAYS 4
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// A line of a text file: Windows's carriage return and line feed where the C runtime's text
// mode writes them; here, where the simulated host's files are Linux files that the tests read
// as they are, a line feed alone.
constexpr char kTextLineEnd[] = "\n";

// The host functions are linked in: nothing to import or export.
#define HOLDOUT_HOST_API
#define HOLDOUT_PLUGIN_EXPORT
