// The Windows profile probe: answers a look-up list from the INI corpus with the system's own
// GetPrivateProfileIntA and GetPrivateProfileStringA, the reference the simulated host's reader
// is compared against. Output lines end in LF, as the Linux probe's do.
// Usage: ProfileProbe.exe CORPUS_DIR LOOKUP_LIST (Windows paths)
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "tools/profile_lookups.h"

namespace {

std::uint32_t GetInt(const char* section, const char* key, std::int32_t defaultValue,
                     const char* path) {
  return GetPrivateProfileIntA(section, key, defaultValue, path);
}

std::uint32_t GetString(const char* section, const char* key, const char* defaultValue,
                        char* buffer, std::uint32_t size, const char* path) {
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ProfileProbe.exe CORPUS_DIR LOOKUP_LIST\n");
    return 2;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  return profile_probe::RunLookups(argv[2], argv[1], '\\', {&GetInt, &GetString}, stdout);
}
