// Unescaping corpus lines and answering them. The components read are printed with
// std::to_chars, which gives the same digits on both builds whatever their C runtime prints; the
// position as the plug-in writes it follows, so that its writing is compared too.
#include "support/position_corpus.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "settings/position.h"

namespace position_corpus {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

std::string Shortest(float value) {
  char digits[64];
  const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

}  // namespace

bool Unescape(const std::string& line, std::string& text, std::string& error) {
  text.clear();
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\') {
      text += line[i];
      continue;
    }
    const char kind = i + 1 < line.size() ? line[i + 1] : '\0';
    if (kind == 't' || kind == '\\') {
      text += kind == 't' ? '\t' : '\\';
      i += 1;
    } else if (kind == 'x' && i + 3 < line.size() && HexDigit(line[i + 2]) >= 0 &&
               HexDigit(line[i + 3]) >= 0) {
      text += static_cast<char>(HexDigit(line[i + 2]) * 16 + HexDigit(line[i + 3]));
      i += 3;
    } else {
      error = "a backslash must begin \\t, \\\\ or \\xHH";
      return false;
    }
  }
  return true;
}

std::string Answer(const std::string& text) {
  char buffer[kPositionBufferSize] = {};
  std::memcpy(buffer, text.data(), std::min<std::size_t>(text.size(), kPositionBufferSize - 1));
  Vector3 position{};
  if (!ParsePosition(buffer, position)) {
    return "refused";
  }
  return "taken {" + Shortest(position.x) + "," + Shortest(position.y) + "," +
         Shortest(position.z) + "} written " + FormatPosition(position);
}

bool AnswerCorpus(const std::string& corpus, std::string& answers, std::string& error) {
  answers.clear();
  std::size_t start = 0;
  for (int number = 1; start < corpus.size(); ++number) {
    std::size_t end = corpus.find('\n', start);
    if (end == std::string::npos) {
      end = corpus.size();
    }
    std::string line = corpus.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::string text;
    if (!Unescape(line, text, error)) {
      error = "line " + std::to_string(number) + ": " + error;
      return false;
    }
    answers += line + " -> " + Answer(text) + "\n";
  }
  return true;
}

}  // namespace position_corpus
