// INI parsing with the Win32 profile reader's rules: line-based, names case-insensitive and
// trimmed, values trimmed, first match wins, surrounding quotes stripped from string values,
// integers read as RtlCharToInteger reads them with base 0. A UTF-8 byte-order mark is no mark to
// Windows's reader: it stays part of the first line, as there (Wine's reader strips it).
#include "profile/profile_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

namespace profile {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// UTF-16 text as 8-bit characters: ASCII kept, everything else '?'.
std::string NarrowUtf16(std::string_view bytes, bool bigEndian) {
  std::string narrow;
  narrow.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const unsigned low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    const unsigned unit = high << 8 | low;
    narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return narrow;
}

}  // namespace

std::string_view TrimProfileSpace(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::string_view DecodeText(std::string_view text, std::string& storage) {
  if (StartsWith(text, "\xFF\xFE") || StartsWith(text, "\xFE\xFF")) {
    storage = NarrowUtf16(text.substr(2), text[0] == '\xFE');
    return storage;
  }
  return text;
}

IntegerReading ReadInteger(std::string_view text) {
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
    if (prefix == 'x') {
      base = 16;
    } else if (prefix == 'o') {
      base = 8;
    } else if (prefix == 'b') {
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
  return {negative ? 0u - value : value, i};
}

namespace {

// The default as the reader uses it: trailing spaces (not tabs) removed, leading ones kept.
std::string_view TrimDefault(const char* defaultValue) {
  std::string_view text = defaultValue != nullptr ? defaultValue : "";
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
  std::string decoded;
  text = DecodeText(text, decoded);
  section = TrimProfileSpace(section);
  key = TrimProfileSpace(key);
  // Lines before the first header form a section without a name, always the first one.
  bool inSection = section.empty();
  bool sectionSeen = inSection;
  std::size_t position = 0;
  while (position <= text.size()) {
    std::size_t end = text.find('\n', position);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view line = TrimProfileSpace(text.substr(position, end - position));
    position = end + 1;
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        if (inSection) {
          return std::nullopt;  // only the first matching section is searched
        }
        inSection = !sectionSeen && SameName(TrimProfileSpace(line.substr(1, close - 1)), section);
        sectionSeen = sectionSeen || inSection;
        continue;
      }
    }
    if (!inSection || line.empty()) {
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!SameName(TrimProfileSpace(line.substr(0, equals)), key)) {
      continue;
    }
    // The first line naming the key decides, even one without a value.
    if (equals == std::string_view::npos) {
      return std::nullopt;
    }
    return std::string(TrimProfileSpace(line.substr(equals + 1)));
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
  std::string_view chosen = value ? std::string_view(*value) : TrimDefault(defaultValue);
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
  char buffer[kIntegerTextLength + 1];
  if (GetString(text, section, key, "", buffer, sizeof buffer) == 0) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  return ReadInteger(buffer).value;
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

}  // namespace profile
