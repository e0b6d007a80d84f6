// Paths as players give them on the command line, which reaches the sub-commands as UTF-8: the
// path each argument names (on Windows read from its wide form, a trailing quote forgiven, a
// path too long for the C runtime shortened or prefixed so that it opens), the text a message
// shows for a path, and the hint for a path with spaces that arrived in pieces. The first two
// are done one way per platform, chosen by the build.
#pragma once

#include <filesystem>
#include <string>

// The file or folder the argument names.
std::filesystem::path PathFromArgument(const std::string& argument);

// A path as messages show it, in UTF-8.
std::string ShownPath(const std::filesystem::path& path);

// The advice for a command that got more paths than it takes: a path with spaces must be in
// quotes, shown with the arguments joined as one quoted path.
std::string QuoteHint(const char* command, int argc, char** argv);
