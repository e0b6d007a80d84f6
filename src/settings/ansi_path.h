// Paths for the ANSI functions. The settings are read by the ANSI profile functions, which take
// a path in the system's ANSI code page; a folder's name may hold characters that code page
// cannot (a Chinese name where the code page is Western European), and such a path, converted,
// names another file or none. So the path is read in full in its wide form and handed over
// unchanged when the ANSI code page holds it exactly, or else as the folder's short (8.3) form,
// which Windows spells in plain letters where the volume keeps short names. doctor asks the
// same questions through these functions, so it says what the plug-in does.
#pragma once

#include <optional>
#include <string>

// The wide path in the ANSI code page, when that holds each of its characters exactly; nothing
// when one would become '?' or a look-alike, either of which names another file.
std::optional<std::string> ExactAnsiPath(const std::u16string& path);

// The folder (its path ending in a separator) as the ANSI functions can open it: its exact ANSI
// form, or else that of its short form; nothing when neither exists.
std::optional<std::string> AnsiFolderPath(const std::u16string& folder);
