// The keys the tests and benchmarks press when the settings file leaves a binding alone: each
// binding's default, read from the settings table, so that no test writes a key code of its
// own. Header-only, so that the benchmarks use it as the tests do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "settings/settings_schema.h"

namespace holdout_test {

// The default key code of `binding`, a key binding of the settings (&Settings::SpawnerMenu).
inline std::uint32_t DefaultKey(std::uint32_t Settings::*binding) {
  for (const SettingDescription& setting : SettingsSchema()) {
    if (setting.keyCode == binding) {
      return static_cast<std::uint32_t>(setting.defaultValue);
    }
  }
  std::fprintf(stderr, "DefaultKey: not a key binding of the settings table\n");
  std::abort();
}

// The default key that picks row `row` (1 for the first) of an open menu.
inline std::uint32_t DefaultSelectKey(std::size_t row) {
  return static_cast<std::uint32_t>(MenuSelectSettings()[row - 1].defaultValue);
}

}  // namespace holdout_test
