// Setting the process's locale through the C runtime, as any module of a game may.
#include "core/number_locale.h"

#include <clocale>
#include <cstring>

namespace sim {

namespace {

// Names of the same German locale as glibc and as Windows's C runtime know it.
constexpr const char* kDecimalCommaLocales[] = {"de_DE.UTF-8", "German_Germany.1252"};

}  // namespace

bool SetDecimalCommaLocale() {
  for (const char* name : kDecimalCommaLocales) {
    if (std::setlocale(LC_ALL, name) == nullptr) {
      continue;
    }
    if (std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      return true;
    }
    SetClassicLocale();
  }
  return false;
}

void SetClassicLocale() {
  std::setlocale(LC_ALL, "C");
}

}  // namespace sim
