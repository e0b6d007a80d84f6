// The Win32 profile (INI) reader for hosts without Windows: the same answers as
// GetPrivateProfileStringA and GetPrivateProfileIntA give, checked against Wine's implementation
// of them on a corpus of INI files (tests/profile_corpus). Parsing works on text in memory;
// reading the file is the caller's job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim::profile {

// The raw value of `key` in `section` of an INI text (white space around it removed), or
// nothing when the section or key is absent or the key's line has no '='. Names compare
// without regard to case or surrounding white space; the first matching section and the first
// matching key in it win. Keys before the first header belong to the section named "". A text
// starting with a UTF-8 or UTF-16 byte-order mark is decoded first.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// GetPrivateProfileStringA on a text (nullopt: no file). Copies the value, or `defaultValue`
// without its trailing spaces, with one pair of matching surrounding quotes removed, into
// buffer, cut to size - 1 characters and zero-terminated; returns the characters copied.
// Writes nothing when size is 0. A null section or key reads as an absent key.
std::uint32_t GetString(const std::optional<std::string>& text, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        std::uint32_t size);

// GetPrivateProfileIntA on a text (nullopt: no file): the first 29 characters of the value
// read as an integer (leading white space, a sign, a lower-case 0x/0o/0b prefix, digits up to
// the first other character; wrapping at 32 bits), or `defaultValue` when the key is absent or
// its value empty.
std::uint32_t GetInt(const std::optional<std::string>& text, const char* section, const char* key,
                     std::int32_t defaultValue);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFile(const char* path);

}  // namespace sim::profile
