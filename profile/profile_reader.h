// The Win32 profile (INI) reader for hosts without Windows: the same answers as
// GetPrivateProfileStringW and GetPrivateProfileIntW give, as 8-bit text (the simulated wide
// functions widen it), checked against Wine's implementation of them on a corpus of INI files
// (tests/profile_corpus). Parsing works on text in memory;
// reading the file is the caller's job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The characters of a value that the integer reader reads at most.
constexpr std::uint32_t kIntegerTextLength = 29;

// The raw value of `key` in `section` of an INI text (white space around it removed), or
// nothing when the section or key is absent or the key's line has no '='. Names compare
// without regard to case or surrounding white space; the first matching section and the first
// matching key in it win. Keys before the first header belong to the section named "". A text
// starting with a UTF-16 byte-order mark is decoded first; a UTF-8 byte-order mark stays part of
// the first line, as Windows reads it, so that a header right after it is no header.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// `text` without the white space (space, tab, CR, LF, VT, FF) the reader ignores around names,
// values and lines.
std::string_view TrimProfileSpace(std::string_view text);

// The text as the reader parses it: UTF-16 (with its byte-order mark) made 8-bit, ASCII kept and
// every other character '?'; any other text unchanged. `storage` holds a decoded text.
std::string_view DecodeText(std::string_view text, std::string& storage);

// How an integer value's text reads: RtlCharToInteger with base 0 (leading white space, a sign,
// a lower-case 0x/0o/0b prefix, then digits up to the first other character, wrapping at 32
// bits; an upper-case prefix such as "0X1F" reads as 0), and how many characters were read.
struct IntegerReading {
  std::uint32_t value = 0;
  std::size_t length = 0;  // the characters read, prefix and digits included
};
IntegerReading ReadInteger(std::string_view text);

// GetPrivateProfileStringW on a text (nullopt: no file), in 8-bit text. Copies the value, or `defaultValue`
// without its trailing spaces, with one pair of matching surrounding quotes removed, into
// buffer, cut to size - 1 characters and zero-terminated; returns the characters copied.
// Writes nothing when size is 0. A null section or key reads as an absent key.
std::uint32_t GetString(const std::optional<std::string>& text, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        std::uint32_t size);

// GetPrivateProfileIntW on a text (nullopt: no file): the first kIntegerTextLength characters of
// the value read by ReadInteger, or `defaultValue` when the key is absent or its value empty.
std::uint32_t GetInt(const std::optional<std::string>& text, const char* section, const char* key,
                     std::int32_t defaultValue);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFile(const char* path);

}  // namespace profile
