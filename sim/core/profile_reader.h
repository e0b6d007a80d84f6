// The Win32 profile (INI) reader for hosts without Windows: the same answers as
// GetPrivateProfileStringA and GetPrivateProfileIntA give for the forms players write. Parsing
// works on text in memory; reading the file is the caller's job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim::profile {

// The raw value of `key` in `section` of an INI text (white space around it removed), or
// nothing when the section or key is absent. Names compare without regard to case; the first
// matching section and the first matching key in it win.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// GetPrivateProfileStringA on a text (nullopt: no file). Copies the value (one pair of matching
// surrounding quotes removed) or `defaultValue` into buffer, cut to size - 1 characters and
// zero-terminated; returns the characters copied.
std::uint32_t GetString(const std::optional<std::string>& text, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        std::uint32_t size);

// GetPrivateProfileIntA on a text (nullopt: no file): the value read as an integer (leading
// white space, a sign, 0x/0o/0b prefixes, digits up to the first other character; wrapping at
// 32 bits), or `defaultValue` when the key is absent or empty.
std::uint32_t GetInt(const std::optional<std::string>& text, const char* section, const char* key,
                     std::int32_t defaultValue);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFile(const char* path);

}  // namespace sim::profile
