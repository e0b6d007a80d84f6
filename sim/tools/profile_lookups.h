// The profile-reader corpus runner shared by the Windows and the Linux probe: reads a list of
// look-ups, answers each through the two profile functions it is given and prints one line per
// answer, so the two probes' outputs can be compared line by line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace profile_probe {

// One look-up: "int|FILE|SECTION|KEY|DEFAULT" or "str|FILE|SECTION|KEY|DEFAULT|SIZE".
struct Lookup {
  bool text = false;  // a string read; an integer read otherwise
  std::string file;
  std::string section;
  std::string key;
  std::string defaultValue;
  std::int32_t defaultInt = 0;
  std::uint32_t size = 0;
};

// Parses one line of a look-up list: nothing for blank and '#' comment lines, false with a
// message in `error` for a malformed one.
bool ParseLookup(const std::string& line, std::optional<Lookup>& lookup, std::string& error);

// The reader under test, with the Win32 profile functions' arguments.
struct ProfileFunctions {
  std::uint32_t (*getInt)(const char* section, const char* key, std::int32_t defaultValue,
                          const char* path);
  std::uint32_t (*getString)(const char* section, const char* key, const char* defaultValue,
                             char* buffer, std::uint32_t size, const char* path);
};

// The answer line for a look-up: the integer as unsigned decimal, or the returned length and
// the buffer's text with bytes outside printable ASCII escaped, plus a note when the text is
// not terminated within the buffer or the reader wrote past its end.
std::string Answer(const Lookup& lookup, const std::string& path, const ProfileFunctions& reader);

// Answers every look-up of the list at `listPath`, opening files as directory + separator +
// name, and prints "LINE -> ANSWER" for each to `out`. Returns 0, or 1 after printing a message
// to stderr when the list cannot be read or has a malformed line.
int RunLookups(const char* listPath, const std::string& directory, char separator,
               const ProfileFunctions& reader, std::FILE* out);

}  // namespace profile_probe
