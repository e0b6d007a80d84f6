// INI parsing with the Win32 profile reader's rules: line-based, names case-insensitive, white
// space trimmed, first match wins, surrounding quotes stripped from string values.
#include "core/profile_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

namespace sim::profile {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The integer reading of a value: RtlCharToInteger with base 0.
std::uint32_t ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char prefix = text[i + 1];
    if (prefix == 'x' || prefix == 'X') {
      base = 16;
    } else if (prefix == 'o' || prefix == 'O') {
      base = 8;
    } else if (prefix == 'b' || prefix == 'B') {
      base = 2;
    }
    if (base != 10) {
      i += 2;
    }
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) {
      break;
    }
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
  bool inSection = false;
  bool sectionSeen = false;
  std::size_t position = 0;
  while (position <= text.size()) {
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view line = Trim(text.substr(position, end - position));
    position = end + 1;
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        if (inSection) {
          return std::nullopt;  // only the first matching section is searched
        }
        inSection = !sectionSeen && SameName(Trim(line.substr(1, close - 1)), section);
        sectionSeen = sectionSeen || inSection;
        continue;
      }
    }
    if (!inSection || line.empty()) {
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string_view name = Trim(line.substr(0, equals));
    if (!SameName(name, key)) {
      continue;
    }
    if (equals == std::string_view::npos) {
      return std::string();
    }
    return std::string(Trim(line.substr(equals + 1)));
  }
  return std::nullopt;
}

std::uint32_t GetString(const std::optional<std::string>& text, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        std::uint32_t size) {
  if (buffer == nullptr || size == 0) {
    return 0;
  }
  std::optional<std::string> value;
  if (text && section != nullptr && key != nullptr) {
    value = FindValue(*text, section, key);
  }
  std::string_view chosen = value ? std::string_view(*value)
                                  : Trim(defaultValue != nullptr ? defaultValue : "");
  if (chosen.size() >= 2 && (chosen.front() == '"' || chosen.front() == '\'') &&
      chosen.back() == chosen.front()) {
    chosen = chosen.substr(1, chosen.size() - 2);
  }
  const std::size_t copied = std::min<std::size_t>(chosen.size(), size - 1);
  std::memcpy(buffer, chosen.data(), copied);
  buffer[copied] = '\0';
  return static_cast<std::uint32_t>(copied);
}

std::uint32_t GetInt(const std::optional<std::string>& text, const char* section, const char* key,
                     std::int32_t defaultValue) {
  char buffer[30];
  if (GetString(text, section, key, "", buffer, sizeof buffer) == 0) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  return ParseInteger(buffer);
}

std::optional<std::string> ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace sim::profile
