// UTF-8, UTF-16 and the modelled ANSI code pages. Code page 1252 is Latin-1 but for 0x80..0x9F,
// where it holds typographic characters; its five unassigned bytes there stand for the C1
// control characters of the same value, as Windows converts them.
#include "core/code_page.h"

#include <array>

namespace sim {

namespace {

// The characters of 1252's bytes 0x80..0x9F.
constexpr std::array<char16_t, 32> kWesternHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(char32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

// The code points of UTF-16 text; an unpaired surrogate comes through as itself.
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit) {
  for (std::size_t index = 0; index < text.size(); ++index) {
    char32_t point = text[index];
    if (IsHighSurrogate(point) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
      point = 0x10000 + ((point - 0xD800) << 10) + (text[index + 1] - 0xDC00);
      ++index;
    }
    visit(point);
  }
}

}  // namespace

std::optional<std::string> Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  bool paired = true;
  ForEachCodePoint(text, [&](char32_t point) {
    paired = paired && !IsHighSurrogate(point) && !IsLowSurrogate(point);
    AppendUtf8(point, out);
  });
  if (!paired) {
    return std::nullopt;
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  std::size_t index = 0;
  while (index < text.size()) {
    const auto lead = static_cast<unsigned char>(text[index]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t point = length == 1 ? lead : lead & (0x3F >> (length - 1));
    bool valid = (lead < 0x80 || lead >= 0xC2) && lead < 0xF5 && index + length <= text.size();
    for (std::size_t next = 1; valid && next < length; ++next) {
      const auto unit = static_cast<unsigned char>(text[index + next]);
      valid = (unit & 0xC0) == 0x80;
      point = (point << 6) | (unit & 0x3F);
    }
    if (!valid) {
      out += u'\uFFFD';
      ++index;
      continue;
    }
    if (point >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
    index += length;
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes, unsigned codePage) {
  if (codePage == kUtf8CodePage) {
    return Utf16FromUtf8(bytes);
  }
  std::u16string out;
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    out += value >= 0x80 && value < 0xA0 ? kWesternHighBlock[value - 0x80] : char16_t{value};
  }
  return out;
}

}  // namespace sim
