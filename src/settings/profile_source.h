// Where the settings are read from: the two questions the settings reader asks of an INI file.
// The plug-in answers them with the Win32 profile functions; check-ini, the fuzzer and the tests
// answer them from a text in memory, so that all of them run the same reader.
#pragma once

#include <cstdint>

// An INI file as the settings reader sees it.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;

  // The integer value of section/key, or defaultValue when the key is absent or its value empty.
  virtual std::uint32_t GetInt(const char* section, const char* key,
                               std::int32_t defaultValue) const = 0;

  // Copies the text value of section/key (empty when absent) into buffer, cut to size - 1
  // characters and zero-terminated; returns the characters copied.
  virtual std::uint32_t GetString(const char* section, const char* key, char* buffer,
                                  std::uint32_t size) const = 0;
};
