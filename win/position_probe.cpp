// The position probe: answers the position corpus with the plug-in's own position reader and
// prints the answers. Built twice, as PositionProbe.exe with the Windows build's compiler and C
// runtime (run under Wine) and with the build machine's compiler and glibc, so that the two
// readings can be compared. Answer lines hold no carriage return of their own, so the line
// ends the Windows console adds can be stripped before comparing.
// Usage: position_probe CORPUS
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/position_corpus.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: position_probe CORPUS\n");
    return 2;
  }
  std::ifstream corpus(argv[1], std::ios::binary);
  if (!corpus) {
    std::fprintf(stderr, "position probe: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream text;
  text << corpus.rdbuf();
  std::string answers;
  std::string error;
  if (!position_corpus::AnswerCorpus(text.str(), answers, error)) {
    std::fprintf(stderr, "position probe: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::fwrite(answers.data(), 1, answers.size(), stdout);
  return 0;
}
