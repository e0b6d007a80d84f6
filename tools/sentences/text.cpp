// The tools' words: ASCII case folding with the C library's own table, as the profile reader and
// the file names' comparisons use it.
#include "sentences/text.h"

#include <algorithm>
#include <cctype>

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string Printable(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c > 0x7E; }, '?');
  return text;
}

std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
  }
  return text;
}

std::string Mebibytes(std::uint64_t bytes) {
  return std::to_string(bytes >> 20) + " MiB";
}
