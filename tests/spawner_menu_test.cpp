// The spawner menus as the player sees them and the keys that drive them: the three menus as
// drawn (captions, colours, positions), the menu key's page cycle and its cancel while an
// object is held, select keys beyond the last row, and several rows picked in one frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_natives.h"
#include "spawner/placement.h"
#include "spawner_steps.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

using holdout_test::Scenario;
using namespace spawner_test;
namespace natives = sim::natives;

const std::vector<std::string> kExplosivesRows = {
    "1: SMALL EXPLOSIVE", "2: MEDIUM EXPLOSIVES", "3: LARGE EXPLOSIVES",  "4: EXPLOSIVE BARREL",
    "5: EXPLOSIVE CRATE", "6: LANTERN",           "7: > DEL LAST SPAWNED"};
const std::vector<std::string> kCoverRows = {"1: WOODEN CRATES",  "2: LARGE WOODEN CRATES",
                                             "3: WOODEN CRATE",   "4: SANDBAG",
                                             "5: WOODEN BARRELS", "6: LARGE WAGON"};
const std::vector<std::string> kWeaponRows = {"1. GATLING GUN", "2. GATLING GUN MAXIM",
                                              "3. HITCHKISS CANNON", "4. BREACH CANNON"};

// The menu drawn in the last frame: an opaque title bar over y 0.05..0.11, its text at
// (0.01, 0.0633), then rows 0.04875 apart, white at alpha 150 on black at alpha 150.
void ExpectMenuDrawn(Scenario& s, const std::string& title, const std::vector<std::string>& rows) {
  SCOPED_TRACE(title);
  const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(s.host.Frame());
  const std::vector<sim::DrawnBox> boxes = s.host.Screen().BoxesInFrame(s.host.Frame());
  ASSERT_EQ(texts.size(), rows.size() + 1);
  ASSERT_EQ(boxes.size(), rows.size() + 1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const bool isTitle = i == 0;
    const float top = isTitle ? 0.05f : 0.11f + static_cast<float>(i - 1) * 0.04875f;
    const float height = isTitle ? 0.06f : 0.05f;
    const int alpha = isTitle ? 255 : 150;
    const sim::DrawnText& text = texts[i];
    EXPECT_EQ(text.text, isTitle ? title : rows[i - 1]);
    EXPECT_TRUE(text.style.Complete());
    EXPECT_NEAR(text.x, 0.01f, 1e-5f);
    EXPECT_NEAR(text.y, top + height * 0.22222222f, 1e-5f);
    EXPECT_EQ(text.style.sizeX, 0.0f);
    EXPECT_NEAR(text.style.sizeY, height * 8.0f, 1e-5f);
    EXPECT_EQ(text.style.color, (std::array<int, 4>{255, 255, 255, alpha}));
    EXPECT_EQ(text.style.centered, 0);
    EXPECT_EQ(text.style.effect, (std::array<int, 5>{}));
    const sim::DrawnBox& box = boxes[i];
    EXPECT_NEAR(box.x, 0.11f, 1e-5f);
    EXPECT_NEAR(box.y, top + height / 2, 1e-5f);
    EXPECT_NEAR(box.width, 0.22f, 1e-5f);
    EXPECT_NEAR(box.height, height, 1e-5f);
    EXPECT_EQ(box.color, (std::array<int, 4>{0, 0, 0, alpha}));
  }
  EXPECT_NEAR(texts[0].y, 0.0633333f, 1e-5f);
}

void ExpectNothingDrawn(Scenario& s) {
  EXPECT_TRUE(s.host.Screen().TextsInFrame(s.host.Frame()).empty());
  EXPECT_TRUE(s.host.Screen().BoxesInFrame(s.host.Frame()).empty());
}

SCENARIO_TEST(SpawnerMenus, MenuKeyCyclesTheMenusAsDrawnAndCancelsAPlacementInstead) {
  Scenario s;
  s.Start();
  TapMenuKey(s);
  ExpectMenuDrawn(s, "EXPLOSIVES", kExplosivesRows);
  s.RunFrame();
  ExpectMenuDrawn(s, "EXPLOSIVES", kExplosivesRows);
  TapMenuKey(s);
  ExpectMenuDrawn(s, "COVER", kCoverRows);
  TapMenuKey(s);
  ExpectMenuDrawn(s, "MOUNTED WEAPONS", kWeaponRows);
  TapMenuKey(s);
  ExpectNothingDrawn(s);

  PickFromPage(s, 2, {4});
  const EntityHandle held = placementState.placingObject;
  ASSERT_NE(held, 0);
  TapMenuKey(s);
  ExpectNothingDrawn(s);
  EXPECT_EQ(placementState.placingObject, 0);
  EXPECT_EQ(s.host.GetWorld().objects.count(held), 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  TapMenuKey(s);
  ExpectMenuDrawn(s, "EXPLOSIVES", kExplosivesRows);
}

SCENARIO_TEST(SpawnerMenus, SelectKeysBeyondTheRowsKeepTheMenuAndRowsPickedTogetherAllRun) {
  Scenario s;
  s.Start();
  const struct {
    const char* title;
    const std::vector<std::string>& rows;
  } pages[] = {
      {"EXPLOSIVES", kExplosivesRows}, {"COVER", kCoverRows}, {"MOUNTED WEAPONS", kWeaponRows}};
  for (const auto& page : pages) {
    TapMenuKey(s);
    s.host.TapKey(SelectKey(static_cast<int>(page.rows.size()) + 1));
    s.host.TapKey(SelectKey(9));
    s.RunFrame();
    ExpectMenuDrawn(s, page.title, page.rows);
  }
  EXPECT_EQ(s.host.Calls().Count(natives::kRequestModel), 0u);

  // Weapon row 1 starts a placement; row 2, picked in the same frame, finds one in progress.
  s.host.TapKey(SelectKey(2));
  s.host.TapKey(SelectKey(1));
  s.RunFrame();
  FinishModelWaits(s);
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 1u);
  const EntityHandle weapon = placementState.placingObject;
  Confirm(s);
  ASSERT_EQ(placementState.lastSpawnedObject, weapon);

  // Rows 1 and 7 together: a new object is held and the weapon is deleted; the menu is closed.
  PickFromPage(s, 1, {7, 1});
  EXPECT_NE(placementState.placingObject, 0);
  EXPECT_EQ(s.host.GetWorld().objects.count(weapon), 0u);
  EXPECT_EQ(s.host.GetWorld().objects.size(), 1u);
  s.RunFrame();
  ExpectNothingDrawn(s);
}

}  // namespace
