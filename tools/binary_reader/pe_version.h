// The version an image carries in its version resource, as Explorer's Details tab shows it: the
// file version of the resource's fixed part, and the texts of its string table (the first
// language's), such as the commit a build of Holdout names. Read through the image's layout, so
// that a damaged resource tree gives no version rather than bytes from elsewhere.
#pragma once

#include <optional>
#include <string>

#include "binary_reader/pe_layout.h"

// "major.minor.patch", with ".build" added when the fourth number is not 0; nothing when the
// image has no version resource or its tree does not lead to one.
std::optional<std::string> ReadFileVersion(const PeLayout& layout);

// The text under `key` in the version resource's string table, in ASCII (any other character
// as '?'); nothing when there is none or the block around it does not read.
std::optional<std::string> ReadVersionString(const PeLayout& layout, const std::string& key);
