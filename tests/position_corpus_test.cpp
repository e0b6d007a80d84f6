// The position corpus read on Linux: every text answers as the Windows build answered it under
// Wine (tests/position_corpus/answers.txt). The Windows side is checked by the Windows build's
// own test, which runs the same corpus through the DLL's compiler and C runtime.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/position_corpus.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(PositionCorpus, EveryTextReadsAsTheWindowsBuildReadIt) {
  const std::string directory = HOLDOUT_POSITION_CORPUS;
  const std::string corpus = ReadFile(directory + "/texts.txt");
  ASSERT_FALSE(corpus.empty());
  std::string answers;
  std::string error;
  ASSERT_TRUE(position_corpus::AnswerCorpus(corpus, answers, error)) << error;

  const std::vector<std::string> got = Lines(answers);
  const std::vector<std::string> recorded = Lines(ReadFile(directory + "/answers.txt"));
  ASSERT_EQ(got.size(), recorded.size()) << "texts.txt and answers.txt hold as many lines";
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i], recorded[i]);
  }
}

TEST(PositionCorpus, AMalformedEscapeIsNamedWithItsLine) {
  std::string answers;
  std::string error;
  EXPECT_FALSE(position_corpus::AnswerCorpus("# comment\n{1,2,3}\n{1,\\q}\n", answers, error));
  EXPECT_EQ(error, "line 3: a backslash must begin \\t, \\\\ or \\xHH");
  for (const char* cut : {"{1,\\x4", "{1,\\x", "{1,\\", "{1,\\xg0}"}) {
    EXPECT_FALSE(position_corpus::AnswerCorpus(cut, answers, error)) << cut;
  }
  ASSERT_TRUE(position_corpus::AnswerCorpus("{1,\\x32,\\t3}\r\n\n{\\\\}", answers, error));
  EXPECT_EQ(answers,
            "{1,\\x32,\\t3} -> taken {1,2,3} written {1.00000,2.00000,3.00000}\n{\\\\} -> refused\n");
}

}  // namespace
