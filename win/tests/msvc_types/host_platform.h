// The Windows types of the host declarations, as the system headers define them for
// Microsoft's compiler, so clang can decorate host.h's functions as the real host's compiler
// did without a Windows SDK. The host functions are imported, as in Holdout.asi; so are the Win32
// functions that host.h brings in besides.
#pragma once

typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef unsigned short WORD;
typedef unsigned char BYTE;
typedef int BOOL;
typedef BOOL* LPBOOL;
typedef wchar_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef unsigned __int64 UINT64;
typedef UINT64* PUINT64;
typedef void* HANDLE;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
// Pointers to structures the host functions never take: untyped here.
typedef void* LPSECURITY_ATTRIBUTES;  // NOLINT(readability-identifier-naming): Windows's own name
typedef void* LPOVERLAPPED;

#define HOLDOUT_HOST_API __declspec(dllimport)
#define WINAPI  // __stdcall, which x64 ignores
#define WINBASEAPI __declspec(dllimport)
