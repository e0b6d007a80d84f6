// Parsing the look-up list and formatting answers. The buffer handed to the string reader is
// larger than the size it is told and filled with a marker byte, so a reader writing past the
// size it was given shows up in the answer.
#include "tools/profile_lookups.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace profile_probe {

namespace {

constexpr unsigned char kMarker = 0xA5;
constexpr std::size_t kGuardBytes = 16;

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = line.find('|', start);
    fields.push_back(line.substr(start, bar - start));
    if (bar == std::string::npos) {
      return fields;
    }
    start = bar + 1;
  }
}

bool ParseSigned(const std::string& text, std::int32_t& value) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) {
    return false;
  }
  value = static_cast<std::int32_t>(parsed);
  return true;
}

bool ParseSize(const std::string& text, std::uint32_t& value) {
  std::int32_t parsed = 0;
  if (!ParseSigned(text, parsed) || parsed < 0) {
    return false;
  }
  value = static_cast<std::uint32_t>(parsed);
  return true;
}

std::string Escaped(const char* text, std::size_t length) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      escaped += static_cast<char>(c);
    } else {
      escaped += "\\x";
      escaped += kHex[c >> 4];
      escaped += kHex[c & 0xF];
    }
  }
  return escaped;
}

}  // namespace

bool ParseLookup(const std::string& line, std::optional<Lookup>& lookup, std::string& error) {
  lookup.reset();
  if (line.empty() || line[0] == '#') {
    return true;
  }
  const std::vector<std::string> fields = SplitFields(line);
  Lookup parsed;
  parsed.text = fields[0] == "str";
  const std::size_t expected = parsed.text ? 6 : 5;
  if ((fields[0] != "int" && fields[0] != "str") || fields.size() != expected) {
    error = "expected int|FILE|SECTION|KEY|DEFAULT or str|FILE|SECTION|KEY|DEFAULT|SIZE";
    return false;
  }
  parsed.file = fields[1];
  parsed.section = fields[2];
  parsed.key = fields[3];
  parsed.defaultValue = fields[4];
  if (!parsed.text && !ParseSigned(parsed.defaultValue, parsed.defaultInt)) {
    error = "the default of an integer read must be a signed 32-bit decimal";
    return false;
  }
  if (parsed.text && !ParseSize(fields[5], parsed.size)) {
    error = "the size must be a non-negative 32-bit decimal";
    return false;
  }
  lookup = std::move(parsed);
  return true;
}

std::string Answer(const Lookup& lookup, const std::string& path, const ProfileFunctions& reader) {
  if (!lookup.text) {
    return std::to_string(
        reader.getInt(lookup.section.c_str(), lookup.key.c_str(), lookup.defaultInt, path.c_str()));
  }
  std::vector<char> buffer(lookup.size + kGuardBytes, static_cast<char>(kMarker));
  const std::uint32_t length =
      reader.getString(lookup.section.c_str(), lookup.key.c_str(), lookup.defaultValue.c_str(),
                       buffer.data(), lookup.size, path.c_str());
  std::size_t terminator = 0;
  while (terminator < lookup.size && buffer[terminator] != '\0') {
    ++terminator;
  }
  std::string answer = std::to_string(length) + " \"" + Escaped(buffer.data(), terminator) + "\"";
  if (terminator == lookup.size) {
    answer += " unterminated";
  }
  for (std::size_t i = lookup.size; i < buffer.size(); ++i) {
    if (static_cast<unsigned char>(buffer[i]) != kMarker) {
      answer += " overrun";
      break;
    }
  }
  return answer;
}

int RunLookups(const char* listPath, const std::string& directory, char separator,
               const ProfileFunctions& reader, std::FILE* out) {
  std::ifstream list(listPath, std::ios::binary);
  if (!list) {
    std::fprintf(stderr, "profile probe: cannot read %s\n", listPath);
    return 1;
  }
  std::string line;
  for (int number = 1; std::getline(list, line); ++number) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    std::optional<Lookup> lookup;
    std::string error;
    if (!ParseLookup(line, lookup, error)) {
      std::fprintf(stderr, "profile probe: %s:%d: %s\n", listPath, number, error.c_str());
      return 1;
    }
    if (lookup) {
      const std::string path = directory + separator + lookup->file;
      std::fprintf(out, "%s -> %s\n", line.c_str(), Answer(*lookup, path, reader).c_str());
    }
  }
  return 0;
}

}  // namespace profile_probe
