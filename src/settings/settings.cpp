// Loading the settings file: the settings reader run on the Win32 profile functions, against the
// file beside the host executable.
#include "settings/settings.h"

#include <utility>
#include <vector>

#include "platform/win32_functions.h"
#include "settings/settings_schema.h"

Settings settings;

namespace {

// The settings file as the Win32 profile functions read it; holds its path for the whole load.
class Win32ProfileFile : public ProfileSource {
 public:
  explicit Win32ProfileFile(std::string path) : path_(std::move(path)) {}

  std::uint32_t GetInt(const char* section, const char* key,
                       std::int32_t defaultValue) const override {
    return GetPrivateProfileIntA(section, key, defaultValue, path_.c_str());
  }

  std::uint32_t GetString(const char* section, const char* key, char* buffer,
                          std::uint32_t size) const override {
    return GetPrivateProfileStringA(section, key, "", buffer, size, path_.c_str());
  }

 private:
  std::string path_;
};

}  // namespace

std::string GetIniPath() {
  std::vector<char> buffer(64);
  DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  while (length == buffer.size()) {
    buffer.assign(buffer.size() * 2, '\0');
    length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  const std::string executable(buffer.data(), length);
  // The directory is everything up to the last separator. A name without one reads from the
  // working directory, spelled out because the profile reader looks a bare file name up in
  // the Windows directory.
  const std::size_t separator = executable.find_last_of("\\/");
  const std::string directory =
      separator == std::string::npos ? ".\\" : executable.substr(0, separator + 1);
  return directory + "Holdout.ini";
}

void LoadSettings() {
  ReadSettings(Win32ProfileFile(GetIniPath()), settings);
}
