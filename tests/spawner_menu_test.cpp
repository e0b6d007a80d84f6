// The spawner menus as the player sees them and the keys that drive them: the three menus as
// drawn (captions, colours, positions), the menu key's page cycle and its cancel while an
// object is held, select keys beyond the last row, and two rows picked in one frame.
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

constexpr float Tolerance = 1e-5f;

const std::vector<std::string> ExplosivesRows = {
    "1: SMALL EXPLOSIVE", "2: MEDIUM EXPLOSIVES", "3: LARGE EXPLOSIVES",  "4: EXPLOSIVE BARREL",
    "5: EXPLOSIVE CRATE", "6: LANTERN",           "7: > DEL LAST SPAWNED"};
const std::vector<std::string> CoverRows = {"1: WOODEN CRATES",  "2: LARGE WOODEN CRATES",
                                            "3: WOODEN CRATE",   "4: SANDBAG",
                                            "5: WOODEN BARRELS", "6: LARGE WAGON"};
const std::vector<std::string> WeaponRows = {"1. GATLING GUN", "2. GATLING GUN MAXIM",
                                             "3. HITCHKISS CANNON", "4. BREACH CANNON"};

// One drawn row: its caption with the full style, then its black rectangle.
void ExpectRow(const sim::DrawnText& text, const sim::DrawnBox& box, const std::string& caption,
               float top, float height, int alpha) {
  SCOPED_TRACE(caption);
  EXPECT_EQ(text.text, caption);
  EXPECT_TRUE(text.style.Complete());
  EXPECT_NEAR(text.x, 0.01f, Tolerance);
  EXPECT_NEAR(text.y, top + height * 0.22222222f, Tolerance);
  EXPECT_EQ(text.style.sizeX, 0.0f);
  EXPECT_NEAR(text.style.sizeY, height * 8.0f, Tolerance);
  EXPECT_EQ(text.style.color, (std::array<int, 4>{255, 255, 255, alpha}));
  EXPECT_EQ(text.style.centered, 0);
  EXPECT_EQ(text.style.effect, (std::array<int, 5>{}));
  EXPECT_NEAR(box.x, 0.11f, Tolerance);
  EXPECT_NEAR(box.y, top + height / 2, Tolerance);
  EXPECT_NEAR(box.width, 0.22f, Tolerance);
  EXPECT_NEAR(box.height, height, Tolerance);
  EXPECT_EQ(box.color, (std::array<int, 4>{0, 0, 0, alpha}));
}

// The menu drawn in `frame`: an opaque title bar over y 0.05..0.11, then its rows 0.04875 apart.
void ExpectMenuDrawn(Scenario& s, std::uint32_t frame, const std::string& title,
                     const std::vector<std::string>& rows) {
  SCOPED_TRACE(title);
  const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(frame);
  const std::vector<sim::DrawnBox> boxes = s.host.Screen().BoxesInFrame(frame);
  ASSERT_EQ(texts.size(), rows.size() + 1);
  ASSERT_EQ(boxes.size(), rows.size() + 1);
  ExpectRow(texts[0], boxes[0], title, 0.05f, 0.06f, 255);
  EXPECT_NEAR(texts[0].y, 0.0633333f, Tolerance);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ExpectRow(texts[r + 1], boxes[r + 1], rows[r], 0.11f + static_cast<float>(r) * 0.04875f, 0.05f,
              150);
  }
}

void ExpectNothingDrawn(Scenario& s, std::uint32_t frame) {
  EXPECT_TRUE(s.host.Screen().TextsInFrame(frame).empty()) << "frame " << frame;
  EXPECT_TRUE(s.host.Screen().BoxesInFrame(frame).empty()) << "frame " << frame;
}

SCENARIO_TEST(SpawnerMenus, MenuKeyShowsTheThreeMenusAsDrawnThenClosesAndDrawsThemEveryFrame) {
  Scenario s;
  s.Start();
  ExpectNothingDrawn(s, s.host.Frame());
  TapMenuKey(s);
  ExpectMenuDrawn(s, s.host.Frame(), "EXPLOSIVES", ExplosivesRows);
  s.RunFrame();
  ExpectMenuDrawn(s, s.host.Frame(), "EXPLOSIVES", ExplosivesRows);
  TapMenuKey(s);
  ExpectMenuDrawn(s, s.host.Frame(), "COVER", CoverRows);
  TapMenuKey(s);
  ExpectMenuDrawn(s, s.host.Frame(), "MOUNTED WEAPONS", WeaponRows);
  TapMenuKey(s);
  ExpectNothingDrawn(s, s.host.Frame());
  TapMenuKey(s);
  ExpectMenuDrawn(s, s.host.Frame(), "EXPLOSIVES", ExplosivesRows);
}

SCENARIO_TEST(SpawnerMenus, MenuKeyWhileHoldingAnObjectCancelsItAndOpensNoMenu) {
  Scenario s;
  s.Start();
  PickFromPage(s, 2, {4});
  const auto held = static_cast<std::int32_t>(placementState.placingObject);
  ASSERT_NE(held, 0);
  ExpectNothingDrawn(s, s.host.Frame());
  TapMenuKey(s);
  EXPECT_EQ(placementState.placingObject, 0u);
  EXPECT_EQ(s.host.GetWorld().objects.count(held), 0u);
  EXPECT_TRUE(s.host.GetWorld().player.controlsEnabled);
  ExpectNothingDrawn(s, s.host.Frame());
  TapMenuKey(s);
  ExpectMenuDrawn(s, s.host.Frame(), "EXPLOSIVES", ExplosivesRows);
}

SCENARIO_TEST(SpawnerMenus, SelectKeysBeyondTheLastRowPickNothingAndLeaveTheMenuOpen) {
  Scenario s;
  s.Start();
  TapMenuKey(s);
  s.host.TapKey(SelectKey(8));
  s.host.TapKey(SelectKey(9));
  s.RunFrame();
  ExpectMenuDrawn(s, s.host.Frame(), "EXPLOSIVES", ExplosivesRows);
  TapMenuKey(s);
  s.host.TapKey(SelectKey(7));
  s.RunFrame();
  ExpectMenuDrawn(s, s.host.Frame(), "COVER", CoverRows);
  TapMenuKey(s);
  s.host.TapKey(SelectKey(5));
  s.RunFrame();
  ExpectMenuDrawn(s, s.host.Frame(), "MOUNTED WEAPONS", WeaponRows);
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnObject), 0u);
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 0u);
  // A row that exists still answers, and closes the menu.
  s.host.TapKey(SelectKey(4));
  s.RunFrame();
  FinishModelWaits(s);
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 1u);
  s.RunFrame();
  ExpectNothingDrawn(s, s.host.Frame());
}

SCENARIO_TEST(SpawnerMenus, TwoRowsPickedInOneFrameBothRunInRowOrderAndTheMenuCloses) {
  Scenario s;
  s.Start();
  PlaceAndConfirm(s, 2, 1);
  const auto confirmed = static_cast<std::int32_t>(placementState.lastSpawnedObject);
  ASSERT_NE(confirmed, 0);
  // Row 1 starts a placement; row 7 then deletes the confirmed object, not the held one.
  PickFromPage(s, 1, {7, 1});
  const auto held = static_cast<std::int32_t>(placementState.placingObject);
  ASSERT_NE(held, 0);
  EXPECT_EQ(s.host.GetWorld().objects.count(confirmed), 0u);
  EXPECT_EQ(s.host.GetWorld().objects.count(held), 1u);
  s.RunFrame();
  ExpectNothingDrawn(s, s.host.Frame());
  // While holding, a second placement row picked in the same frame changes nothing.
  TapMenuKey(s);  // cancels
  PickFromPage(s, 1, {2, 3});
  ASSERT_NE(placementState.placingObject, 0u);
  EXPECT_EQ(s.host.GetWorld().objects.size(), 1u);
  EXPECT_EQ(s.host.GetWorld().objects.begin()->second.model, 0xF6B3A3D6u) << "row 2's model";
  TapMenuKey(s);  // cancels
  PickFromPage(s, 3, {1, 2});
  EXPECT_EQ(s.host.Calls().Count(natives::kSpawnVehicle), 1u);
  ExpectControlsMatchPlacement(s);
}

}  // namespace
