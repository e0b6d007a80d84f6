// check-ini: reads a settings file exactly as the plug-in does (the same settings reader, on the
// file's text in memory) and explains every value: taken from the file, the default, clamped, or
// rejected and why; and the key bindings that can never fire or share a key.
#pragma once

#include <string>
#include <vector>

#include "player/ini_lines.h"
#include "sentences/problem.h"

struct SettingExplanation {
  std::string section{};
  std::string key{};
  std::string value{};   // the value the plug-in ends up with, as text
  std::string origin{};  // "file", "default", "clamped ...", "rejected ...", "not a number ..."
  bool problem = false;
};

// A value a problem tells the player to write for a setting.
struct SettingFixGiven {
  std::string section{};
  std::string key{};
  std::vector<std::string> values{};  // any one of them, written as the setting's value
};

struct IniExplanation {
  std::vector<SettingExplanation> settings;  // in the order the plug-in reads them
  std::vector<Problem> problems;
  std::vector<SettingFixGiven> fixes;  // one for each problem whose fix names values
  std::vector<LineFix> lineFixes;      // one for each ignored line whose fix says what goes where
};

// Reads `text` as Holdout.ini with the plug-in's own settings reader and explains the result.
IniExplanation ExplainIni(const std::string& text);

// The check-ini command; argv holds the arguments after "check-ini". Exit codes: 0 every value
// usable as written, or no settings file in the game folder (every default), 1 problems found,
// 2 bad usage, 3 the file cannot be read.
int RunCheckIni(int argc, char** argv);
