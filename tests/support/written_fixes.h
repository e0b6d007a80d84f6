// check-ini's fixes taken at their word: each value a problem tells the player to write is
// written into the file in place of the setting's value, on the line the plug-in reads, and the
// file is read again through the plug-in's settings reader and check-ini.
#pragma once

#include <cstddef>
#include <string>

#include "settings/settings_schema.h"

namespace holdout_test {

// Writes back every fix of an ignored line check-ini gives for `text` (ExpectLineFixesHold), then
// every value every fix of check-ini names, one at a time, and expects
// each to read as written (a flag, count or key code the number written, nothing clamped; a
// position whole, as the numbers of the player's text with their decimal commas as points) and
// check-ini then to call that setting no problem. Returns the fixes and values written back.
std::size_t ExpectFixesHold(const std::string& text);

// `text` with the value of section/key, on the line the plug-in reads, replaced by `value`.
std::string WithValue(const std::string& text, const std::string& section, const std::string& key,
                      const std::string& value);

// `text` without the blanks at its ends.
std::string Trimmed(const std::string& text);

// The setting's whole value in `text`, as the profile reader gives it.
std::string ValueIn(const std::string& text, const SettingDescription& setting);

}  // namespace holdout_test
