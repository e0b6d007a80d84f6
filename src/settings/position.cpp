// Positions as text. Written with five decimals, "{%.5f,%.5f,%.5f}", as long as the coordinates
// need. Read with the standard formatted input, "{%f,%f,%f}": each number may follow white
// space, the braces and commas must match exactly, and the scan stops at the first mismatch,
// leaving the components it did not reach at 0. The Linux and the Windows build link different C
// runtimes; the one difference found between their readings of a position (compared on
// tests/position_corpus) is settled here, so that a settings file reads alike on both.
#include "settings/position.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The length of `text` up to the exponent of its first hexadecimal prefix without digits
// ("0xp4", "0X.P4"), or its whole length. There glibc's scan stops (a hexadecimal number needs a
// digit: "0x" reads as nothing, "0x." as 0), while the Windows build's C runtime (mingw-w64's,
// linked into the DLL) reads 0 with its exponent and goes on. Cut before the exponent, the text
// ends in "0x" or "0x.", which both read as glibc does. Such a prefix reads as a number only at
// a number's start, so a cut anywhere else changes nothing that is read.
std::size_t ScannedLength(const std::string& text) {
  for (std::size_t i = text.find_first_of("xX"); i != std::string::npos;
       i = text.find_first_of("xX", i + 1)) {
    if (i == 0 || text[i - 1] != '0') {
      continue;
    }
    const std::size_t exponent = i + 1 < text.size() && text[i + 1] == '.' ? i + 2 : i + 1;
    if (exponent < text.size() && (text[exponent] == 'p' || text[exponent] == 'P')) {
      return exponent;
    }
  }
  return text.size();
}

}  // namespace

PositionReading ReadPosition(const char* text) {
  std::string scanned(text);
  scanned.resize(ScannedLength(scanned));
  PositionReading reading;
  Vector3& v = reading.value;
  reading.componentsRead =
      std::max(0, std::sscanf(scanned.c_str(), "{%f,%f,%f}", &v.x, &v.y, &v.z));
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
  const char* format = "{%.5f,%.5f,%.5f}";
  const int length = std::snprintf(nullptr, 0, format, position.x, position.y, position.z);
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, position.x, position.y, position.z);
  return text;
}
