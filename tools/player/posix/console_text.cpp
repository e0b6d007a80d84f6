// Standard output on Linux: terminals take UTF-8, so the bytes go out as they are.
#include "player/console_text.h"

#include <cstdio>

void WriteOut(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}
