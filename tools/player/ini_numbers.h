// How the integer reader takes a setting's text: the characters it reads, the rest it ignores,
// whether the number written is more than 32 bits hold (the value read then wraps around), and
// what the player most likely meant, for check-ini to say what to write instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the integer reader made of one setting's text.
struct NumberText {
  std::string read;         // the characters read: sign, base prefix and digits, as written
  std::string ignored;      // the rest of the text, which the reader never looks at
  bool overflowed = false;  // the number written lies outside the setting's 32-bit range
  // When text is ignored: the number most likely meant and the ways to write it ("0x56" and
  // "86"); none when it is beyond 32 bits.
  std::optional<long long> meant;
  std::vector<std::string> instead;
  std::string joined;  // "1 15": the digits without the blank between them ("115")
};

// Examines a setting's text as GetPrivateProfileIntW reads it. A signed setting holds
// -2147483648..2147483647, an unsigned one 0..4294967295.
NumberText ExamineNumber(const std::string& text, bool isSigned);

// True for a run of decimal digits, nothing else.
bool IsDigits(std::string_view text);
