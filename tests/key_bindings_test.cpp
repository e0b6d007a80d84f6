// Every key binding of the settings is tested by exactly one place of a frame: a step that
// tests it for a release, the open menu's select keys, or the placement's held keys. A binding
// nothing tests would do nothing, and one tested twice would be consumed or acted on twice; the
// soak, which presses the keys a frame tests, would miss the first kind too.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "runtime/frame_steps.h"
#include "settings/settings_schema.h"
#include "spawner/placement_keys.h"

namespace {

TEST(KeyBindings, EachIsTestedByExactlyOnePlaceOfAFrame) {
  std::map<std::string, int> places;  // a key binding's settings key -> the places that test it
  const auto tested = [&places](std::uint32_t Settings::*binding) {
    for (const SettingDescription& setting : SettingsSchema()) {
      if (setting.kind == SettingKind::kKeyCode && setting.keyCode == binding) {
        ++places[setting.key];
        return;
      }
    }
    ADD_FAILURE() << "a frame tests a key no binding of the settings holds";
  };
  for (const FrameStep& step : kFrameSteps) {
    if (step.keys == StepKeys::kBinding) {
      tested(step.binding);
    } else if (step.keys == StepKeys::kMenuSelect) {
      for (const SettingDescription& setting : MenuSelectSettings()) {
        tested(setting.keyCode);
      }
    }
  }
  for (const PlacementKey& entry : kPlacementKeys) {
    tested(entry.key);
    if (entry.reverseKey != nullptr) {
      tested(entry.reverseKey);
    }
  }
  for (const SettingDescription& setting : SettingsSchema()) {
    if (setting.kind == SettingKind::kKeyCode) {
      EXPECT_EQ(places[setting.key], 1) << setting.key;
    }
  }
}

}  // namespace
