// A settings file held in memory, answered by the portable profile reader: what check-ini, the
// settings fuzzer and the tests hand the plug-in's settings reader in place of a file on disk.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "settings/profile_source.h"

namespace profile {

// An INI text (or no file at all) as a profile source, with the answers the Win32 profile
// functions give for a file of that content.
class ProfileText : public ProfileSource {
 public:
  explicit ProfileText(std::optional<std::string> text) : text_(std::move(text)) {}

  std::uint32_t GetInt(const char* section, const char* key,
                       std::int32_t defaultValue) const override;
  std::uint32_t GetString(const char* section, const char* key, char* buffer,
                          std::uint32_t size) const override;

 private:
  std::optional<std::string> text_;
};

}  // namespace profile
