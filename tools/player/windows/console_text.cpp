// Standard output on Windows: a console (GetConsoleMode answers only for one) gets the text as
// UTF-16 through WriteConsoleW, after what the C runtime holds is flushed so that the order
// stays; a redirected standard output gets the UTF-8 bytes, which a report sent for help keeps.
#include "player/console_text.h"

#include <windows.h>

#include <cstdio>
#include <string>

void WriteOut(std::string_view utf8) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (output == INVALID_HANDLE_VALUE || output == nullptr || !GetConsoleMode(output, &mode)) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return;
  }
  const int size = static_cast<int>(utf8.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize > 0 ? wideSize : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
  std::fflush(stdout);
  DWORD written = 0;
  WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
