// Text as the simulated Windows converts it: UTF-16 (what the wide functions take) to and from
// UTF-8 (how Linux spells file names), and from the ANSI code page, in which the wide profile
// functions read a file without a byte-order mark. Two ANSI code pages are modelled: Western
// European (1252), the one Wine uses here and a common one on Windows, and UTF-8, which Windows
// can be set to.
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

// ANSI bytes as UTF-16, as MultiByteToWideChar gives them: every byte of 1252 stands
// for one character.
std::u16string FromAnsi(std::string_view bytes, unsigned codePage);

}  // namespace sim
