// The four Win32 functions the plug-in calls, as the simulated host answers them, for every
// program that links the plug-in into the simulated host (on Linux, and the Windows build of
// the soak): the tick count and the executable's path come from the simulated host, the profile
// functions read the file with the portable profile reader.
#include <algorithm>
#include <cstring>

#include "core/profile_reader.h"
#include "core/sim_host.h"
#include "platform/win32_functions.h"

namespace {

// Windows paths as the profile functions get them, with '\\' read as a directory separator.
std::optional<std::string> ReadProfileFile(LPCSTR fileName) {
  if (fileName == nullptr) {
    return std::nullopt;
  }
  std::string path(fileName);
  std::replace(path.begin(), path.end(), '\\', '/');
  return sim::profile::ReadFile(path.c_str());
}

}  // namespace

extern "C" {

DWORD GetTickCount() {
  sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr) {
    return 0;
  }
  host->CountHostCall();
  return host->TickCount();
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (module != nullptr || host == nullptr || fileName == nullptr || size == 0) {
    return 0;
  }
  const std::string& path = host->ExecutablePath();
  if (path.size() >= size) {
    // As Windows XP and later: cut, terminated, and the full buffer size returned.
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    return size;
  }
  std::memcpy(fileName, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return sim::profile::GetInt(ReadProfileFile(fileName), section, key, defaultValue);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  return sim::profile::GetString(ReadProfileFile(fileName), section, key, defaultValue, buffer,
                                 size);
}
}
