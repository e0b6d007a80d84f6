// The words the tools' sentences are made of: names made safe to print and compared as Windows
// compares them, lists in prose, numbers put into a sentence's pattern, and sizes in the unit a
// player reads them in. Every tool takes these from here, so that a name or a limit reads the
// same in every message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The text in ASCII lower case, as Windows compares file names and the profile reader compares
// names; other bytes stay as they are.
std::string Lower(std::string_view text);

// The text with every byte that is not printable ASCII shown as '?': names read from a file
// come from anywhere.
std::string Printable(std::string text);

// "a", "a and b", "a, b and c".
std::string Listed(const std::vector<std::string>& items);

// A size of whole mebibytes as a player reads it: "64 MiB".
std::string Mebibytes(std::uint64_t bytes);

// The printf pattern `format` with the numbers in place of its conversions, each number as an
// unsigned long long (%llu, %llX).
template <typename... Numbers>
std::string Formatted(const char* format, Numbers... numbers) {
  char text[256];
  std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(numbers)...);
  return text;
}
