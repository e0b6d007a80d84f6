// A stand-in for a game whose program imports version.dll, as many do, and calls it as it
// starts: it asks for the size of its own version information, then prints "started". With a
// plug-in loader under the name version.dll that lacks that function, Windows refuses to start
// the program and Wine stops it at that first call, so it never prints; doctor must call such a
// loader a problem.
#include <windows.h>

#include <cstdio>

int main() {
  wchar_t path[MAX_PATH];
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) {
    return 2;
  }
  DWORD ignored = 0;
  GetFileVersionInfoSizeW(path, &ignored);
  std::puts("started");
  return 0;
}
