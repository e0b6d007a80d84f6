// What the settings reader passes over without a word: the lines of a settings file that set
// nothing the plug-in reads. The file's lines are taken as the profile reader takes them (headers,
// key lines, the first matching section and key winning), and each line that has no effect is
// named with what happens to it and what to write instead.
#pragma once

#include <string>
#include <vector>

#include "sentences/problem.h"

// One problem for each line of `text` that the plug-in ignores, in the order of the lines.
std::vector<Problem> IgnoredLines(const std::string& text);

// The known name nearest to `name` (by the letters to change, case and spaces aside), when one
// is near enough to be what the player meant; empty otherwise.
std::string NearestName(const std::string& name, const std::vector<std::string>& known);
