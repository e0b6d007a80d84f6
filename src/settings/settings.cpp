// Loading the settings file: the settings reader run on the Win32 profile functions, against the
// file beside the host executable, under a path the ANSI profile functions can open
// (settings/ansi_path.h); where there is none, every setting takes its default.
#include "settings/settings.h"

#include <utility>

#include "platform/win32_functions.h"
#include "settings/ansi_path.h"
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

// No settings file to be had: every setting takes its default.
class NoFile : public ProfileSource {
 public:
  std::uint32_t GetInt(const char*, const char*, std::int32_t defaultValue) const override {
    return static_cast<std::uint32_t>(defaultValue);
  }

  std::uint32_t GetString(const char*, const char*, char* buffer,
                          std::uint32_t size) const override {
    if (size > 0) {
      buffer[0] = '\0';
    }
    return 0;
  }
};

}  // namespace

std::optional<std::string> GetIniPath() {
  const std::optional<std::string> folder = AnsiFolderPath(ExecutableFolder());
  if (!folder) {
    return std::nullopt;
  }
  return *folder + "Holdout.ini";
}

// Every load starts from the defaults, so a value the file no longer gives takes its default
// when the script function starts again; the record changes only once the whole file is read.
void LoadSettings() {
  Settings loaded;
  const std::optional<std::string> path = GetIniPath();
  if (path) {
    ReadSettings(Win32ProfileFile(*path), loaded);
  } else {
    ReadSettings(NoFile(), loaded);
  }
  settings = loaded;
}
