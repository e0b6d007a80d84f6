// The position corpus: texts of position values, each answered with what the plug-in makes of
// it, so that the Linux build and the Windows build (under Wine) can be compared line by line
// and with the answers recorded in tests/position_corpus/answers.txt.
#pragma once

#include <string>

namespace position_corpus {

// The text a corpus line stands for: "\t", "\\" and "\xHH" are a tab, a backslash and the byte
// HH; other characters stand for themselves. False with a message for a malformed escape.
bool Unescape(const std::string& line, std::string& text, std::string& error);

// What the plug-in makes of `text` as a position value read through the settings' buffer (cut
// to its first 51 characters): "taken {x,y,z} written {X,Y,Z}", each component in the shortest
// decimal that reads back to the same float and then the position as the plug-in writes it, or
// "refused" when the setting keeps its default.
std::string Answer(const std::string& text);

// Answers every line of a corpus (skipping blank lines and '#' comments) as "LINE -> ANSWER",
// one per line. False with a message naming the line when a line does not unescape.
bool AnswerCorpus(const std::string& corpus, std::string& answers, std::string& error);

}  // namespace position_corpus
