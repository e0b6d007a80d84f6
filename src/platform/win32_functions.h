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
// The integer value of section/key in the profile file, or defaultValue when it is absent or
// empty. The file's encoding is taken from the file itself (UTF-16 by its byte-order mark, else
// the ANSI code page). Under Wine the file's path may have at most MAX_PATH - 1 characters, a
// \\?\ prefix aside: a longer one reads as no file. Windows documents no limit of its own, and
// the plug-in keeps to Wine's.
WINBASEAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue,
                                             LPCWSTR fileName);
// Copies the text value of section/key (or defaultValue) into buffer, cut to size - 1 characters
// and zero-terminated; returns the characters copied. The file as for GetPrivateProfileIntW.
WINBASEAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                                 LPWSTR buffer, DWORD size, LPCWSTR fileName);
// The folder for temporary files (from the TMP or TEMP variable, or the user's profile), ending
// in a backslash, into buffer; returns the characters copied, or, when size is too small, the
// size needed including the terminator; 0 on failure. The folder need not exist.
WINBASEAPI DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer);
// With unique 0: creates a new empty file "<folder>\<up to 3 characters of prefix><hex>.TMP"
// under a number no file of the folder has, writes its path into tempFileName (room for
// MAX_PATH characters) and returns the number; 0 when the folder does not exist, is longer
// than MAX_PATH - 14 characters, or takes no new file.
WINBASEAPI UINT WINAPI GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique,
                                        LPWSTR tempFileName);
// Copies a file's bytes and attributes (a read-only file's copy is read-only too) to newFile,
// replacing it unless failIfExists; nonzero on success. A path of MAX_PATH characters or more
// needs the \\?\ prefix, which takes a full path with backslashes as it is.
WINBASEAPI BOOL WINAPI CopyFileW(LPCWSTR existingFile, LPCWSTR newFile, BOOL failIfExists);
// Sets a file's attributes (FILE_ATTRIBUTE_NORMAL: none, so not read-only); nonzero on success.
WINBASEAPI BOOL WINAPI SetFileAttributesW(LPCWSTR fileName, DWORD attributes);
// Deletes a file; refuses a read-only one. Nonzero on success.
WINBASEAPI BOOL WINAPI DeleteFileW(LPCWSTR fileName);
// Opens a file; with access FILE_APPEND_DATA and disposition OPEN_ALWAYS it creates the file when
// absent and every write lands at its end. INVALID_HANDLE_VALUE when the path is too long
// (MAX_PATH characters or more without the \\?\ prefix), names a folder or a read-only file, or
// lies in a folder that refuses the caller's writes. The handle is the caller's to close.
WINBASEAPI HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                     DWORD flagsAndAttributes, HANDLE templateFile);
// Writes size bytes from buffer to an open file (overlapped null: before it returns) and sets
// *written to the bytes written; nonzero on success.
WINBASEAPI BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written,
                                 LPOVERLAPPED overlapped);
// Closes a handle that CreateFileW gave; nonzero on success.
WINBASEAPI BOOL WINAPI CloseHandle(HANDLE handle);
// Copies the value of the process's environment variable `name` (its case aside) into buffer,
// zero-terminated, and returns its characters; when size is too small, returns the size needed
// including the terminator and copies nothing; 0 when the variable is not set.
WINBASEAPI DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
// Creates a folder in an existing one (security null: the parent's access rules); zero when it
// exists already, its parent does not, its path is too long (MAX_PATH - 12 characters or more
// without the \\?\ prefix, room for an 8.3 name) or the parent refuses the caller's writes.
WINBASEAPI BOOL WINAPI CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES security);
}
