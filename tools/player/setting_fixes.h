// What to write instead, for a value the game reads otherwise than the player meant: a flag
// written as a word, a count or key code that is no number or names a key, a doubled '=', digits
// split by a space, a number outside what the setting takes, and a position with a space before
// a comma, with decimal commas, or longer than the plug-in reads. check-ini ends each problem
// line with one of these. A fix names only values the setting takes as written, and a position
// it names fits in what the plug-in reads.
#pragma once

#include <string>
#include <vector>

#include "player/ini_numbers.h"
#include "settings/settings_schema.h"

// A fix: the words that end a problem line, and the values they tell the player to write.
struct SettingFix {
  std::string words;                // "did you mean 115? write 115"; empty: no fix to give
  std::vector<std::string> values;  // each value named, any one of which the setting takes as
                                    // written: "115"; "0x56" and "86"; "10" and "512" for "a
                                    // number from 10 to 512"; none for "a key's code"
};

// True when the text after a number is a comment (';' or '#' after optional blanks): the game
// reads the number and ignores the comment, which is what the player meant.
bool IsInlineComment(const std::string& ignored);

// The fix for a setting's text that is no number: a second '=' to remove ("remove the extra
// '=': write ActivateMod=115", with the value the setting takes when the number after it is
// outside what it takes), a key's name ("it names a key: write 115 for F4"), a flag's word
// ("write 1"), or what to write for the setting's kind.
SettingFix NotANumberFix(const SettingDescription& setting, const std::string& text);

// The fix for a number followed by text the game ignores: the digits without the space when they
// make a value the setting takes ("did you mean 115? write 115"), the number most likely meant
// when the setting takes it, otherwise what to write for the setting's kind.
SettingFix IgnoredTextFix(const SettingDescription& setting, const NumberText& number);

// What to write for a setting of this kind: "write 0 or 1", "write a number from 10 to 512",
// "write a key's code (...)".
SettingFix KindFix(const SettingDescription& setting);

// The fix for a position's text that breaks off at a space before a comma, splits its numbers at
// decimal commas, or is longer than the plug-in reads: the text written so that the plug-in
// reads all of it as the whole text reads, shortened to the fewest digits that keep each number
// when it does not fit. No words for other texts.
SettingFix PositionFix(const std::string& text);

// True when the text writes six numbers separated by commas, or three with decimal commas
// separated by ';': decimal commas, which the game takes for separators.
bool HasDecimalCommas(const std::string& text);
