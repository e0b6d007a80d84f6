// The Windows profile probe: answers a look-up list from the INI corpus with the system's own
// GetPrivateProfileIntW and GetPrivateProfileStringW, the functions the plug-in reads its
// settings with and the reference the simulated host's reader is compared against. The
// look-ups' names, defaults and file paths are widened from UTF-8 (the corpus's are ASCII); a
// value comes back as the plug-in takes it, each character beyond ASCII as '?'. The wide buffer
// is larger than the size the function is told, as the runner's is, so that a write past that
// size shows in the answer. Output lines end in LF, as the Linux probe's do.
// Usage: ProfileProbe.exe CORPUS_DIR LOOKUP_LIST (Windows paths)
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/profile_lookups.h"

namespace {

// Fills the wide buffer's units the function did not write; matches no character it writes.
constexpr wchar_t kUnwritten = 0xFFFF;
// Units of the wide buffer past the size the function is told.
constexpr std::size_t kGuardUnits = 16;

std::wstring Widened(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

std::uint32_t GetInt(const char* section, const char* key, std::int32_t defaultValue,
                     const char* path) {
  return GetPrivateProfileIntW(Widened(section).c_str(), Widened(key).c_str(), defaultValue,
                               Widened(path).c_str());
}

// Copies the units the function wrote into the runner's buffer and leaves the others as the
// runner filled them; a unit written past `size` marks the runner's first byte past it, so the
// runner sees the overrun.
std::uint32_t GetString(const char* section, const char* key, const char* defaultValue,
                        char* buffer, std::uint32_t size, const char* path) {
  std::vector<wchar_t> wide(size + kGuardUnits, kUnwritten);
  const DWORD length =
      GetPrivateProfileStringW(Widened(section).c_str(), Widened(key).c_str(),
                               Widened(defaultValue).c_str(), wide.data(), size,
                               Widened(path).c_str());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == kUnwritten) {
      continue;
    }
    if (i >= size) {
      buffer[size] = '?';
      break;
    }
    buffer[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
  }
  return length;
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
