// Loading the settings file: the settings reader run on the wide Win32 profile functions, against
// the file beside the host executable, or, where its path is too long for them, against a copy
// of it in the temp folder (settings/profile_path.h); where no file can be read, every setting
// takes its default.
#include "settings/settings.h"

#include <optional>
#include <utility>

#include "platform/win32_functions.h"
#include "settings/profile_path.h"
#include "settings/settings_schema.h"

Settings settings = DefaultSettings();

namespace {

// A section or key name (plain ASCII) in the wide form.
std::u16string WideName(const char* name) {
  return std::u16string(name, name + std::char_traits<char>::length(name));
}

const WCHAR* Wide(const std::u16string& text) {
  return reinterpret_cast<const WCHAR*>(text.c_str());
}

// The settings file as the wide Win32 profile functions read it; holds its path for the whole
// load. A value is handed to the reader with every character beyond ASCII as '?': no setting
// reads such a character as part of a number or a position, whichever it is.
class Win32ProfileFile : public ProfileSource {
 public:
  explicit Win32ProfileFile(std::u16string path) : path_(std::move(path)) {}

  std::uint32_t GetInt(const char* section, const char* key,
                       std::int32_t defaultValue) const override {
    return GetPrivateProfileIntW(Wide(WideName(section)), Wide(WideName(key)), defaultValue,
                                 Wide(path_));
  }

  std::uint32_t GetString(const char* section, const char* key, char* buffer,
                          std::uint32_t size) const override {
    if (size == 0) {
      return 0;
    }
    std::u16string wide(size, u'\0');
    const DWORD length =
        GetPrivateProfileStringW(Wide(WideName(section)), Wide(WideName(key)), Wide(u""),
                                 reinterpret_cast<WCHAR*>(wide.data()), size, Wide(path_));
    for (DWORD i = 0; i < length; ++i) {
      buffer[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
    }
    buffer[length] = '\0';
    return length;
  }

 private:
  std::u16string path_;
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

// Deletes the settings file's copy in the temp folder when the load that made it ends.
struct CopyDeletion {
  const std::u16string& copy;
  ~CopyDeletion() { DeleteFileW(Wide(copy)); }
};

}  // namespace

std::u16string GetIniPath() {
  return ExecutableFolder() + u"Holdout.ini";
}

// Every load starts from the defaults, so a value the file no longer gives takes its default
// when the script function starts again; the record changes only once the whole file is read.
// A copy made for the load is deleted however the load ends, an exception included.
void LoadSettings() {
  Settings loaded = DefaultSettings();
  const std::u16string path = GetIniPath();
  if (ProfileFunctionsOpen(path)) {
    ReadSettings(Win32ProfileFile(path), loaded);
  } else if (const std::optional<std::u16string> copy = CopyForProfileFunctions(path)) {
    const CopyDeletion deletion{*copy};
    ReadSettings(Win32ProfileFile(*copy), loaded);
  } else {
    ReadSettings(NoFile(), loaded);
  }
  settings = loaded;
}
