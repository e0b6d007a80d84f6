// WideCharToMultiByte as the simulated host answers it, through the host's ANSI code page
// (core/code_page.h). A file of its own because the C++ runtime on Windows calls the function
// too: the Windows build of the soak leaves this file out and keeps the system's.
#include <cstring>

#include "core/code_page.h"
#include "core/sim_host.h"
#include "platform/win32_functions.h"

extern "C" {

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int size, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr || wide == nullptr || size < 0 || defaultChar != nullptr) {
    return 0;
  }
  const unsigned page = codePage == CP_ACP ? host->AnsiCodePage() : codePage;
  const std::u16string_view text =
      wideLength < 0 ? std::u16string_view(wide) : std::u16string_view(wide, wideLength);
  if (page == sim::kUtf8CodePage) {
    // UTF-8 takes no default character and no best-fit choice; it can refuse unpaired
    // surrogates.
    if (usedDefaultChar != nullptr || (flags != 0 && flags != WC_ERR_INVALID_CHARS) ||
        (flags == WC_ERR_INVALID_CHARS && !sim::Utf8FromUtf16(text))) {
      return 0;
    }
  } else if (page != sim::kWesternCodePage || (flags & ~DWORD{WC_NO_BEST_FIT_CHARS}) != 0) {
    return 0;
  }
  sim::AnsiText converted = sim::ToAnsi(text, page, (flags & WC_NO_BEST_FIT_CHARS) != 0);
  if (wideLength < 0) {
    converted.bytes += '\0';
  }
  if (usedDefaultChar != nullptr) {
    *usedDefaultChar = converted.usedDefault ? TRUE : FALSE;
  }
  if (size == 0) {
    return static_cast<int>(converted.bytes.size());
  }
  if (multiByte == nullptr || converted.bytes.size() > static_cast<std::size_t>(size)) {
    return 0;
  }
  std::memcpy(multiByte, converted.bytes.data(), converted.bytes.size());
  return static_cast<int>(converted.bytes.size());
}
}
