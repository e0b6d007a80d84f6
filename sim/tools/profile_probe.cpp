// The Linux profile probe: answers a look-up list from the INI corpus with the simulated host's
// profile reader, in the same format as the Windows probe answers it with the real functions.
// Usage: profile_probe CORPUS_DIR LOOKUP_LIST
#include <cstdio>

#include "profile/profile_reader.h"
#include "tools/profile_lookups.h"

namespace {

std::uint32_t GetInt(const char* section, const char* key, std::int32_t defaultValue,
                     const char* path) {
  return profile::GetInt(profile::ReadFile(path), section, key, defaultValue);
}

std::uint32_t GetString(const char* section, const char* key, const char* defaultValue,
                        char* buffer, std::uint32_t size, const char* path) {
  return profile::GetString(profile::ReadFile(path), section, key, defaultValue, buffer,
                                 size);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: profile_probe CORPUS_DIR LOOKUP_LIST\n");
    return 2;
  }
  return profile_probe::RunLookups(argv[2], argv[1], '/', {&GetInt, &GetString}, stdout);
}
