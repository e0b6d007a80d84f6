// doctor's words on standard output, whatever the folder names in them: the text is UTF-8
// throughout, which a file or a pipe takes as it is, while a Windows console shows bytes in its
// own code page and would garble any character outside it. One implementation per platform,
// chosen by the build.
#pragma once

#include <string_view>

// Writes the UTF-8 text to standard output: as UTF-16 through the console's wide function when
// standard output is a Windows console, as the bytes themselves otherwise.
void WriteOut(std::string_view utf8);
