// Text as the simulated Windows converts it: UTF-16 (what the wide functions take) to and from
// UTF-8 (how Linux spells file names), and to and from the ANSI code page that the "A" functions
// translate every path through. Two ANSI code pages are modelled: Western European (1252), the
// one Wine uses here and a common one on Windows, and UTF-8, which Windows can be set to.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kUtf8CodePage = 65001;

// UTF-16 to UTF-8; nothing when the text holds a surrogate without its partner.
std::optional<std::string> Utf8FromUtf16(std::u16string_view text);

// UTF-8 to UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

// UTF-16 in an ANSI code page, as WideCharToMultiByte gives it.
struct AnsiText {
  std::string bytes;
  // A character the code page cannot hold was written as '?' (the default character).
  bool usedDefault = false;
};

// Converts to `codePage`. Characters without a byte of their own become '?', except that
// unless `exactOnly`, a few letters become the look-alike the code page's best-fit table gives
// them (U+0100 'A with macron' as 'A'), which does not count as using the default character.
// In UTF-8 nothing is lost but an unpaired surrogate, which becomes U+FFFD.
AnsiText ToAnsi(std::u16string_view text, unsigned codePage, bool exactOnly);

// The ANSI bytes back as UTF-16, as MultiByteToWideChar gives them: every byte of 1252 stands
// for one character.
std::u16string FromAnsi(std::string_view bytes, unsigned codePage);

}  // namespace sim
