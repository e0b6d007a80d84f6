// What to write instead, for a value the game reads otherwise than the player meant: a flag
// written as a word, a count or key code that is no number, a doubled '=', digits split by a
// space, a number outside what the setting takes, and a position with a space before a comma
// or with decimal commas. check-ini ends each problem line with one of these.
#pragma once

#include <string>

#include "player/ini_numbers.h"
#include "settings/settings_schema.h"

// True when the text after a number is a comment (';' or '#' after optional blanks): the game
// reads the number and ignores the comment, which is what the player meant.
bool IsInlineComment(const std::string& ignored);

// The fix for a flag's or count's text that is no number ("write 1"), or for any setting's text
// that starts with a second '=' ("remove the extra '=': write ActivateMod=115"); empty for a key
// code's other text, which is answered with key names.
std::string NotANumberFix(const SettingDescription& setting, const std::string& text);

// The fix for a number followed by text the game ignores: the digits without the space when they
// make a value the setting takes ("did you mean 115? write 115"), the range when the number the
// player most likely meant is outside it, otherwise what NumberText suggests.
std::string IgnoredTextFix(const SettingDescription& setting, const NumberText& number);

// What to write for a setting of this kind: "0 or 1", "a number from 10 to 512", a key's code.
std::string WhatToWrite(const SettingDescription& setting);

// A position's text that breaks off at a space before a comma, or splits its numbers at decimal
// commas, written so that it reads whole; empty for other texts.
std::string PositionRewritten(const std::string& text);

// True when the text writes six numbers separated by commas, or three with decimal commas
// separated by ';': decimal commas, which the game takes for separators.
bool HasDecimalCommas(const std::string& text);
