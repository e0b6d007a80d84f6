// The in-memory profile source: each question goes to the profile reader with the whole text.
#include "profile/profile_text.h"

#include "profile/profile_reader.h"

namespace profile {

std::uint32_t ProfileText::GetInt(const char* section, const char* key,
                                  std::int32_t defaultValue) const {
  return profile::GetInt(text_, section, key, defaultValue);
}

std::uint32_t ProfileText::GetString(const char* section, const char* key, char* buffer,
                                     std::uint32_t size) const {
  return profile::GetString(text_, section, key, "", buffer, size);
}

}  // namespace profile
