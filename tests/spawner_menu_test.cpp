// The spawner menus as the player sees them and the keys that drive them: every menu of the
// plug-in's list as drawn (captions in stacked boxes, an opaque title over translucent rows), the
// menu key's page cycle and its cancel while an object is held, select keys beyond the last row,
// and several rows picked in one frame; the rows' fixed sizes, colours and places, and captions
// asked for at every draw.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/fault_injector.h"
#include "core/script_context.h"
#include "game/game_natives.h"
#include "runtime/host.h"
#include "runtime/script.h"
#include "spawner/catalogues.h"
#include "spawner/menu.h"
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

// The rows of a menu of the plug-in's list, by its title; a menu this test does not know fails.
const std::vector<std::string>& RowsOf(const std::string& title) {
  static const std::map<std::string, const std::vector<std::string>*> kRows = {
      {kExplosivesTitle, &kExplosivesRows},
      {kCoverTitle, &kCoverRows},
      {kMountedWeaponsTitle, &kWeaponRows}};
  static const std::vector<std::string> kUnknown;
  const auto found = kRows.find(title);
  if (found == kRows.end()) {
    ADD_FAILURE() << "the menu " << title << " has no rows in this test";
    return kUnknown;
  }
  return *found->second;
}

// The menu drawn in the last frame, as a player reads it: the title, then the rows in order, each
// caption in its own box; the boxes stacked top to bottom without a gap, one width, all
// on the screen; each text inside its box, fully styled; the title opaque over translucent rows.
void ExpectMenuDrawn(Scenario& s, const std::string& title, const std::vector<std::string>& rows) {
  SCOPED_TRACE(title);
  const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(s.host.Frame());
  const std::vector<sim::DrawnBox> boxes = s.host.Screen().BoxesInFrame(s.host.Frame());
  ASSERT_EQ(texts.size(), rows.size() + 1);
  ASSERT_EQ(boxes.size(), rows.size() + 1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const sim::DrawnText& text = texts[i];
    const sim::DrawnBox& box = boxes[i];
    const float top = box.y - box.height / 2;
    const float bottom = box.y + box.height / 2;
    const float left = box.x - box.width / 2;
    EXPECT_EQ(text.text, i == 0 ? title : rows[i - 1]);
    EXPECT_TRUE(text.style.Complete());
    EXPECT_EQ(text.style.centered, 0);
    EXPECT_GT(box.height, 0.0f);
    EXPECT_GE(top, 0.0f);
    EXPECT_LE(bottom, 1.0f);
    EXPECT_GE(left, 0.0f);
    EXPECT_LE(left + box.width, 1.0f);
    EXPECT_GT(text.x, left);
    EXPECT_LT(text.x, left + box.width);
    EXPECT_GT(text.y, top);
    EXPECT_LT(text.y, bottom);
    EXPECT_NE(text.style.color, box.color) << "the text stands out from its box";
    if (i > 0) {
      const sim::DrawnBox& above = boxes[i - 1];
      EXPECT_LE(top, above.y + above.height / 2 + 1e-5f) << "no gap above row " << i;
      EXPECT_GT(top, above.y) << "row " << i << " lies below the box above";
      EXPECT_NEAR(box.x, above.x, 1e-5f);
      EXPECT_NEAR(box.width, above.width, 1e-5f);
      EXPECT_GT(box.color[3], 0) << "row " << i;
      EXPECT_LT(box.color[3], 255) << "row " << i << " lets the game show through";
    }
  }
  EXPECT_EQ(boxes[0].color[3], 255) << "the title bar is opaque";
  EXPECT_EQ(texts[0].style.color[3], 255);
}

void ExpectNothingDrawn(Scenario& s) {
  EXPECT_TRUE(s.host.Screen().TextsInFrame(s.host.Frame()).empty());
  EXPECT_TRUE(s.host.Screen().BoxesInFrame(s.host.Frame()).empty());
}

SCENARIO_TEST(SpawnerMenus, MenuKeyCyclesTheMenusAsDrawnAndCancelsAPlacementInstead) {
  Scenario s;
  s.Start();
  for (const SpawnerMenu& menu : kSpawnerMenus) {
    TapMenuKey(s);
    ExpectMenuDrawn(s, menu.title, RowsOf(menu.title));
    s.RunFrame();
    ExpectMenuDrawn(s, menu.title, RowsOf(menu.title));
  }
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
  ExpectMenuDrawn(s, kSpawnerMenus.front().title, RowsOf(kSpawnerMenus.front().title));
}

SCENARIO_TEST(SpawnerMenus, SelectKeysBeyondTheRowsKeepTheMenuAndRowsPickedTogetherAllRun) {
  Scenario s;
  s.Start();
  for (const SpawnerMenu& menu : kSpawnerMenus) {
    const std::vector<std::string>& rows = RowsOf(menu.title);
    TapMenuKey(s);
    s.host.TapKey(SelectKey(static_cast<int>(rows.size()) + 1));
    s.host.TapKey(SelectKey(9));
    s.RunFrame();
    ExpectMenuDrawn(s, menu.title, rows);
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

// The rows' sizes, colours and places, as fixed numbers: the title bar 0.22 x 0.06 at the top
// 0.05, opaque; each row 0.22 x 0.05, at alpha 150, overlapping the one above by 2.5 % of its
// height; every caption 0.01 in from the left edge and 2/9 of its row down, white, not centred.
SCENARIO_TEST(SpawnerMenus, RowsHaveTheirFixedSizesColoursAndPlaces) {
  Scenario s;
  s.Start();
  TapMenuKey(s);
  const std::vector<sim::DrawnText> texts = s.host.Screen().TextsInFrame(s.host.Frame());
  const std::vector<sim::DrawnBox> boxes = s.host.Screen().BoxesInFrame(s.host.Frame());
  ASSERT_EQ(texts.size(), 8u);
  ASSERT_EQ(boxes.size(), 8u);
  constexpr float kTolerance = 1e-5f;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i].text);
    const bool title = i == 0;
    const float top = title ? 0.05f : 0.11f + static_cast<float>(i - 1) * 0.04875f;
    const float height = title ? 0.06f : 0.05f;
    const int alpha = title ? 255 : 150;
    EXPECT_NEAR(texts[i].x, 0.01f, kTolerance);
    EXPECT_NEAR(texts[i].y, top + height * 2.0f / 9.0f, kTolerance);
    EXPECT_EQ(texts[i].style.sizeX, 0.0f);
    EXPECT_NEAR(texts[i].style.sizeY, title ? 0.48f : 0.4f, kTolerance);
    EXPECT_EQ(texts[i].style.color, (std::array<int, 4>{255, 255, 255, alpha}));
    EXPECT_EQ(texts[i].style.centered, 0);
    EXPECT_EQ(texts[i].style.effect, (std::array<int, 5>{0, 0, 0, 0, 0}));
    EXPECT_NEAR(boxes[i].x, 0.11f, kTolerance);
    EXPECT_NEAR(boxes[i].y, top + height / 2.0f, kTolerance);
    EXPECT_NEAR(boxes[i].width, 0.22f, kTolerance);
    EXPECT_NEAR(boxes[i].height, height, kTolerance);
    EXPECT_EQ(boxes[i].color, (std::array<int, 4>{0, 0, 0, alpha}));
  }
}

// A row class whose caption is whatever its text source holds when the row is drawn.
class ChangingCaptionRow : public MenuItemDefault {
 public:
  explicit ChangingCaptionRow(const std::string& source)
      : MenuItemDefault("unused"), source_(source) {}
  std::string GetCaption() override { return source_; }

 private:
  const std::string& source_;
};

SCENARIO_TEST(SpawnerMenus, RowShowsWhatItsCaptionSaysAtEachDraw) {
  Scenario s;
  s.Start();
  std::string source = "7: A CAPTION LONGER THAN ANY HELD IN PLACE";
  AddItem(*frameLoop.menus[1], new ChangingCaptionRow(source));
  TapMenuKey(s, 2);
  EXPECT_EQ(s.host.Screen().TextsInFrame(s.host.Frame()).back().text, source);
  source = "7: CHANGED";
  s.RunFrame();
  EXPECT_EQ(s.host.Screen().TextsInFrame(s.host.Frame()).back().text, "7: CHANGED");
  source = "7: AND CHANGED AGAIN, STILL LONGER THAN ANY HELD IN PLACE";
  s.RunFrame();
  EXPECT_EQ(s.host.Screen().TextsInFrame(s.host.Frame()).back().text, source);
}

// A row counted while it lives, to find rows that nobody owns.
int rowsAlive = 0;
class CountedRow : public MenuItemDefault {
 public:
  CountedRow() : MenuItemDefault("row") { ++rowsAlive; }
  ~CountedRow() override { --rowsAlive; }
};

Menu menuUnderTest;

// Adds three rows on the script context, where the plug-in's allocations can be made to fail;
// a row or a list that cannot be allocated leaves that row out.
void AddThreeRows() {
  for (int i = 0; i < 3; ++i) {
    try {
      AddItem(menuUnderTest, new CountedRow());
    } catch (const std::bad_alloc&) {
    }
  }
  scriptWait(0);
}

// Three rows make six allocations: each row, and the list growing to take it. Whichever fails,
// no row is left without an owner, and every row the menu holds points back at it.
TEST(AddItem, ARowTheListCannotTakeIsDeletedAndTheMenuKeepsItsRows) {
  static std::uint64_t failing = 0;
  for (failing = 1; failing <= 6; ++failing) {
    holdout_test::RunInFreshProcess([] {
      sim::SimHost host;
      sim::FaultInjector injector(host);
      injector.Arm(sim::FaultKind::kAllocationFails, failing);
      host.SwapScriptContext(std::make_unique<sim::ScriptContext>(&AddThreeRows));
      host.RunFrame();
      EXPECT_TRUE(injector.Reached()) << "allocation " << failing;
      EXPECT_EQ(menuUnderTest.items.size(), 2u) << "allocation " << failing;
      EXPECT_EQ(rowsAlive, 2) << "allocation " << failing;
      for (const std::unique_ptr<MenuItemBase>& row : menuUnderTest.items) {
        EXPECT_EQ(row->menu, &menuUnderTest);
      }
    });
  }
}

}  // namespace
