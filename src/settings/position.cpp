// Positions as text, in the "C" number format whatever locale the process runs in: the C
// runtime's formatted input and output take the decimal point from the process-wide locale, which
// any module of the game may set (a decimal comma would read "{2726.1,-1067.7,47.4}" as
// "{2726,0,0}"), so the text is scanned here with <charconv>, which knows no locale, and written
// digit by digit. Written with five decimals, as "{%.5f,%.5f,%.5f}" writes in the "C" locale, as
// long as the coordinates need. Read as "{%f,%f,%f}" reads in the "C" locale: each number may follow white
// space, the braces and commas must match exactly, and the scan stops at the first mismatch,
// leaving the components it did not reach at 0. A number is scanned as far as it can still be
// one: a sign; "inf", "infinity" or "nan"; or digits with a point, then an exponent mark and its
// sign, kept even when no digit follows them; with "0x", hexadecimal digits and a binary
// exponent. Its value is that of its longest well-formed start, rounded to the nearest float.
// A hexadecimal prefix without digits right before an exponent ("0xp4", "0X.P4") ends the text:
// the C runtimes of the two builds once read it differently, and ending the text there keeps
// the reading that tests/position_corpus records for both.
#include "settings/position.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace {

// The largest exponent kept; any further digits change nothing a float can hold, since a text
// of 51 characters moves the point by fewer places than this.
constexpr long kExponentCap = 100000;

// Five decimals as a whole number: a value times this.
constexpr std::uint64_t kDecimalScale = 100000;

// Whole numbers up to a float's largest, which is below 2^128.
__extension__ typedef unsigned __int128 WideWhole;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The length of `text` up to the exponent of its first hexadecimal prefix without digits, or
// its whole length. Such a prefix reads as a number only at a number's start, so a cut anywhere
// else changes nothing that is read.
std::size_t ScannedLength(std::string_view text) {
  for (std::size_t i = text.find_first_of("xX"); i != std::string_view::npos;
       i = text.find_first_of("xX", i + 1)) {
    if (i == 0 || text[i - 1] != '0') {
      continue;
    }
    const std::size_t exponent = i + 1 < text.size() && text[i + 1] == '.' ? i + 2 : i + 1;
    if (exponent < text.size() && Lower(text[exponent]) == 'p') {
      return exponent;
    }
  }
  return text.size();
}

// A text being scanned, consumed from the front.
struct Scanner {
  std::string_view text;
  std::size_t at = 0;

  // The next character; '\0' at the end, which no test below takes.
  char Peek() const { return at < text.size() ? text[at] : '\0'; }
  // Consumes `word` (lower case) when the text goes on with it in either case.
  bool TakeWord(std::string_view word) {
    if (text.size() - at < word.size()) {
      return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (Lower(text[at + i]) != word[i]) {
        return false;
      }
    }
    at += word.size();
    return true;
  }
};

// The parts of a scanned finite number: its digits with their point, and its exponent's value.
struct NumberParts {
  bool hexadecimal = false;
  std::string mantissa;  // digits, at most one point
  bool anyDigit = false;
  long exponent = 0;     // powers of 10, or of 2 when hexadecimal; 0 when it had no digits
};

// How many places the point stands after the first non-zero digit, counted in the mantissa's
// digits and then scaled to the exponent's unit; only its sign is used, to tell a value too
// large for a float from one too small.
long Magnitude(const NumberParts& number) {
  const long digitWeight = number.hexadecimal ? 4 : 1;
  const std::size_t point = number.mantissa.find('.');
  const std::size_t integerDigits = point == std::string::npos ? number.mantissa.size() : point;
  const std::size_t firstNonZero = number.mantissa.find_first_not_of("0.");
  const long places = firstNonZero < integerDigits
                          ? static_cast<long>(integerDigits - firstNonZero)
                          : -static_cast<long>(firstNonZero - integerDigits - 1);
  return places * digitWeight + number.exponent;
}

// The value of the number's parts, rounded to the nearest float, ties to even; a value beyond
// the float range is infinite, one below its smallest step 0.
float ValueOf(const NumberParts& number) {
  if (number.mantissa.find_first_not_of("0.") == std::string::npos) {
    return 0.0f;
  }
  std::string text = number.mantissa;
  if (text.front() == '.') {
    text.insert(text.begin(), '0');
  }
  if (text.back() == '.') {
    text.pop_back();
  }
  text += number.hexadecimal ? 'p' : 'e';
  text += std::to_string(number.exponent);
  float value = 0.0f;
  const std::chars_format format =
      number.hexadecimal ? std::chars_format::hex : std::chars_format::general;
  const std::from_chars_result result =
      std::from_chars(text.data(), text.data() + text.size(), value, format);
  if (result.ec == std::errc::result_out_of_range) {
    return Magnitude(number) > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
  }
  return value;
}

// Reads an exponent's optional sign and digits into `exponent`, capped; a sign without digits
// is consumed and counts as no exponent.
void ScanExponent(Scanner& in, long& exponent) {
  const bool negative = in.Peek() == '-';
  if (in.Peek() == '-' || in.Peek() == '+') {
    ++in.at;
  }
  long value = 0;
  while (IsDigit(in.Peek())) {
    value = std::min(kExponentCap, value * 10 + (in.Peek() - '0'));
    ++in.at;
  }
  exponent = negative ? -value : value;
}

// Reads the digits, point and exponent of a finite number whose sign has been taken. False when
// no number starts here.
bool ScanDigits(Scanner& in, NumberParts& number) {
  const std::size_t start = in.at;
  if (in.Peek() == '0' && in.at + 1 < in.text.size() && Lower(in.text[in.at + 1]) == 'x') {
    number.hexadecimal = true;
    in.at += 2;
  }
  const char exponentMark = number.hexadecimal ? 'p' : 'e';
  bool point = false;
  for (;;) {
    const char c = in.Peek();
    if (number.hexadecimal ? IsHexDigit(c) : IsDigit(c)) {
      number.mantissa += c;
      number.anyDigit = true;
    } else if (c == '.' && !point) {
      number.mantissa += c;
      point = true;
    } else if (Lower(c) == exponentMark && number.anyDigit) {
      ++in.at;
      ScanExponent(in, number.exponent);
      return true;
    } else {
      break;
    }
    ++in.at;
  }
  // A hexadecimal prefix with nothing after it is no number; "0x." reads as its 0.
  if (number.hexadecimal) {
    return in.at - start > 2;
  }
  return number.anyDigit;
}

// Reads one component as "%f" does: white space, then a number. False at a matching failure.
bool ScanComponent(Scanner& in, float& value) {
  while (IsSpace(in.Peek())) {
    ++in.at;
  }
  const bool negative = in.Peek() == '-';
  if (in.Peek() == '-' || in.Peek() == '+') {
    ++in.at;
  }
  float magnitude = 0.0f;
  if (Lower(in.Peek()) == 'n') {
    if (!in.TakeWord("nan")) {
      return false;
    }
    magnitude = std::numeric_limits<float>::quiet_NaN();
  } else if (Lower(in.Peek()) == 'i') {
    if (!in.TakeWord("inf")) {
      return false;
    }
    if (Lower(in.Peek()) == 'i' && !in.TakeWord("inity")) {
      return false;
    }
    magnitude = std::numeric_limits<float>::infinity();
  } else {
    NumberParts number;
    if (!ScanDigits(in, number)) {
      return false;
    }
    magnitude = ValueOf(number);
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

// Reads up to three components of "{x,y,z}" into `v`; the number read.
int ScanPosition(std::string_view text, Vector3& v) {
  Scanner in{text.substr(0, ScannedLength(text))};
  if (in.Peek() != '{') {
    return 0;
  }
  ++in.at;
  float* const components[] = {&v.x, &v.y, &v.z};
  int read = 0;
  for (float* component : components) {
    if (read > 0) {
      if (in.Peek() != ',') {
        break;
      }
      ++in.at;
    }
    if (!ScanComponent(in, *component)) {
      break;
    }
    ++read;
  }
  return read;
}

// One coordinate as "%.5f" writes it: the float's exact binary value rounded to five decimals,
// ties to even, every digit before the point. A float is m * 2^e with m below 2^24 and e from
// -149 to 104: with e >= 0 it is a whole number below 2^128; with e < 0 its whole part is m >> -e
// and its fraction r / 2^-e with r below 2^24, so r * 10^5 stays below 2^41, and where 2^-e is
// beyond 2^63 that fraction rounds to 0.
void AppendCoordinate(std::string& text, float coordinate) {
  if (std::isnan(coordinate)) {
    text += std::signbit(coordinate) ? "-nan" : "nan";
    return;
  }
  if (std::isinf(coordinate)) {
    text += coordinate < 0 ? "-inf" : "inf";
    return;
  }
  if (std::signbit(coordinate)) {
    text += '-';
  }
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(coordinate);
  const std::uint32_t biased = (bits >> 23) & 0xFF;
  const std::uint32_t mantissa = (bits & 0x7FFFFF) | (biased != 0 ? 0x800000u : 0u);
  const int exponent = (biased != 0 ? static_cast<int>(biased) : 1) - 150;
  WideWhole whole = 0;
  std::uint64_t decimals = 0;  // the five decimals as a number below 10^5
  if (exponent >= 0) {
    whole = static_cast<WideWhole>(mantissa) << exponent;
  } else {
    const int shift = -exponent;
    whole = shift < 32 ? mantissa >> shift : 0;
    if (shift < 64) {
      const std::uint64_t fraction = mantissa & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t scaled = fraction * kDecimalScale;
      decimals = scaled >> shift;
      const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t half = std::uint64_t{1} << (shift - 1);
      if (rest > half || (rest == half && decimals % 2 == 1)) {
        ++decimals;
      }
      if (decimals == kDecimalScale) {
        decimals = 0;
        ++whole;
      }
    }
  }
  char digits[40];  // 2^128 has 39 digits
  char* start = digits + sizeof digits;
  do {
    *--start = static_cast<char>('0' + static_cast<int>(whole % 10));
    whole /= 10;
  } while (whole != 0);
  text.append(start, digits + sizeof digits);
  text += '.';
  char fraction[5];
  for (int i = 4; i >= 0; --i) {
    fraction[i] = static_cast<char>('0' + decimals % 10);
    decimals /= 10;
  }
  text.append(fraction, sizeof fraction);
}

}  // namespace

PositionReading ReadPosition(const char* text) {
  PositionReading reading;
  Vector3& v = reading.value;
  reading.componentsRead = ScanPosition(text, v);
  if (reading.componentsRead == 0) {
    reading.verdict = PositionVerdict::kNothingRead;
  } else if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
    reading.verdict = PositionVerdict::kNotFinite;
  } else if (v.x == 0.0f && v.y == 0.0f && v.z == 0.0f) {
    reading.verdict = PositionVerdict::kOrigin;
  } else {
    reading.verdict =
        reading.componentsRead == 3 ? PositionVerdict::kUsed : PositionVerdict::kPartlyRead;
  }
  return reading;
}

bool ParsePosition(const char* text, Vector3& position) {
  const PositionReading reading = ReadPosition(text);
  if (!IsUsable(reading.verdict)) {
    return false;
  }
  position = reading.value;
  return true;
}

std::string FormatPosition(const Vector3& position) {
  std::string text = "{";
  AppendCoordinate(text, position.x);
  text += ',';
  AppendCoordinate(text, position.y);
  text += ',';
  AppendCoordinate(text, position.z);
  text += '}';
  return text;
}
