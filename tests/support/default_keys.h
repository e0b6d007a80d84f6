// The keys the tests and benchmarks press when the settings file leaves a binding alone: each
// binding's default, read from the settings table, so that no test writes a key code of its
// own. Header-only, so that the benchmarks use it as the tests do.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings_schema.h"

namespace holdout_test {

// The default key code of `binding`, a key binding of the settings (&Settings::SpawnerMenu).
inline std::uint32_t DefaultKey(std::uint32_t Settings::*binding) {
  return DefaultSettings().*binding;
}

// The default key that picks row `row` (1 for the first) of an open menu.
inline std::uint32_t DefaultSelectKey(std::size_t row) {
  return MenuSelectKeys(DefaultSettings())[row - 1];
}

}  // namespace holdout_test
