// Numbers as the reader takes them. The reader's own rules (profile_reader.h) say how far it
// reads; the number as written is measured here again, digit by digit, to tell when it did not
// fit, and the ignored rest is compared with the forms players write numbers in elsewhere:
// "0X56" (a capital X, which the reader does not take), "70h" (hexadecimal with a suffix), "1e3"
// (a power of ten) and "1 15" (digits split by a blank). Otherwise the number read is taken for
// the number meant ("90.5" for 90).
#include "player/ini_numbers.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "profile/profile_reader.h"

namespace {

bool AllHexDigits(std::string_view text) {
  if (text.empty()) {
    return false;
  }
  for (const char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
      return false;
    }
  }
  return true;
}

// The hexadecimal digits as the number meant, written with a lower-case prefix and in decimal:
// "0x56" and "86"; nothing when they make too large a number to be meant.
void SpellHex(std::string_view digits, NumberText& number) {
  errno = 0;
  const unsigned long long value = std::strtoull(std::string(digits).c_str(), nullptr, 16);
  if (errno != 0 || value > static_cast<unsigned long long>(LLONG_MAX)) {
    return;
  }
  number.meant = static_cast<long long>(value);
  number.instead = {"0x" + std::string(digits), std::to_string(value)};
}

// Whether the digits read (after a sign and a prefix) make a number beyond the setting's range.
bool Overflows(std::string_view read, bool isSigned) {
  std::size_t i = 0;
  bool negative = false;
  if (i < read.size() && (read[i] == '+' || read[i] == '-')) {
    negative = read[i] == '-';
    ++i;
  }
  int base = 10;
  if (i + 1 < read.size() && read[i] == '0' &&
      (read[i + 1] == 'x' || read[i + 1] == 'o' || read[i + 1] == 'b')) {
    base = read[i + 1] == 'x' ? 16 : read[i + 1] == 'o' ? 8 : 2;
    i += 2;
  }
  std::uint64_t magnitude = 0;
  for (; i < read.size(); ++i) {
    const int digit = std::isdigit(static_cast<unsigned char>(read[i])) != 0
                          ? read[i] - '0'
                          : std::tolower(static_cast<unsigned char>(read[i])) - 'a' + 10;
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (magnitude > (std::uint64_t{1} << 33)) {
      return true;  // far beyond any 32-bit range already
    }
  }
  if (!isSigned) {
    return magnitude > 0xFFFFFFFFu;
  }
  return negative ? magnitude > 0x80000000u : magnitude > 0x7FFFFFFFu;
}

}  // namespace

NumberText ExamineNumber(const std::string& text, bool isSigned) {
  const std::string_view cut = std::string_view(text).substr(0, profile::kIntegerTextLength);
  const profile::IntegerReading reading = profile::ReadInteger(cut);
  NumberText number;
  number.read = text.substr(0, reading.length);
  number.ignored = text.substr(reading.length);
  const std::size_t start = number.read.find_first_not_of(" \t");
  number.read = start == std::string::npos ? "" : number.read.substr(start);
  number.overflowed = Overflows(number.read, isSigned);
  if (number.ignored.empty()) {
    return number;
  }
  const std::string unsignedRead =
      !number.read.empty() && (number.read[0] == '+' || number.read[0] == '-')
          ? number.read.substr(1)
          : number.read;
  const std::string whole = number.read + number.ignored;
  const std::size_t digits = number.ignored.find_first_not_of(" \t");
  if (digits != 0 && digits != std::string::npos && IsDigits(unsignedRead) &&
      IsDigits(std::string_view(number.ignored).substr(digits))) {
    number.joined = number.read + number.ignored.substr(digits);
  }
  char* end = nullptr;
  const double asDecimal = std::strtod(whole.c_str(), &end);
  if (unsignedRead == "0" && number.ignored.size() > 1 &&
      (number.ignored[0] == 'X' || number.ignored[0] == 'x') &&
      AllHexDigits(std::string_view(number.ignored).substr(1))) {
    SpellHex(std::string_view(number.ignored).substr(1), number);
  } else if ((number.ignored.back() == 'h' || number.ignored.back() == 'H') &&
             AllHexDigits(std::string_view(whole).substr(0, whole.size() - 1))) {
    SpellHex(std::string_view(whole).substr(0, whole.size() - 1), number);
  } else if (end != nullptr && *end == '\0' && std::isfinite(asDecimal) &&
             std::fabs(asDecimal) < 1e12 && asDecimal == std::floor(asDecimal)) {
    number.meant = static_cast<long long>(asDecimal);
    number.instead = {std::to_string(*number.meant)};
  } else if (!number.overflowed) {
    // The number read is what was meant: the 32 bits it gives, as the setting takes them.
    const std::uint32_t bits = reading.value;
    number.meant = isSigned ? static_cast<long long>(static_cast<std::int32_t>(bits))
                            : static_cast<long long>(bits);
    number.instead = {number.read};
  }
  return number;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}
