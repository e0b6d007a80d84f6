// Questions about files answered without touching them: whether a line could be appended to a
// file, whether a new file could be created in a folder. Nothing is created, written or changed
// by asking. One implementation per platform, chosen by the build.
#pragma once

#include <filesystem>
#include <string>

// The answer to an access question; `why` holds the system's reason when the answer is no.
struct AccessAnswer {
  bool allowed = false;
  std::string why;
};

// Whether the existing file can be opened for appending; it is opened without creating it and
// closed again without a write.
AccessAnswer CanAppendTo(const std::filesystem::path& file);

// Whether a new file could be created in the folder, judged from its permissions alone.
AccessAnswer CanCreateIn(const std::filesystem::path& folder);
