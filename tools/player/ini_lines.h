// What the settings reader passes over without a word: the lines of a settings file that set
// nothing the plug-in reads. The file's lines are taken as the profile reader takes them (headers,
// key lines, the first matching section and key winning), and each line that has no effect is
// named with what happens to it and what to write instead.
#pragma once

#include <string>
#include <vector>

#include "sentences/problem.h"

// What a problem of an ignored line tells the player to write, and where, as a program can
// apply it. Lines are numbered from 1, as the problems number them.
enum class LineFixKind {
  kKeyLine,       // line `line`, its key written as `key` and its value kept, goes into the first
                  // [section], in place of the line naming `key` there if there is one
  kSectionLines,  // the lines under the header on line `line` go into the first other
                  // [section], each in place of a line naming its key there; where there is no
                  // other [section], that header is written as [section]
  kNoMark,        // the UTF-8 byte-order mark before line 1 is removed
};

struct LineFix {
  LineFixKind kind = LineFixKind::kKeyLine;
  int line = 0;
  std::string section{};
  std::string key{};
};

struct IgnoredLinesFound {
  std::vector<Problem> problems{};  // one for each line the plug-in ignores, in the lines' order
  std::vector<LineFix> fixes{};     // one for each problem that names what to write where
};

// The lines of `text` that the plug-in ignores, and the fixes of those that have one.
IgnoredLinesFound IgnoredLines(const std::string& text);

// The known name nearest to `name` (by the letters to change, case and spaces aside), when one
// is near enough to be what the player meant; empty otherwise.
std::string NearestName(const std::string& name, const std::vector<std::string>& known);
