// Menu rows and menus. A menu is a title row over numbered item rows, drawn in the top-left
// corner; rows are picked by number keys. What a row shows is its GetCaption, what picking it
// does is its OnSelect. The caption is taken through GetCaption every time a row is drawn, so a
// row class that overrides it changes what the row shows from the next frame on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Menu;
struct Notification;

// A colour as four 8-bit channels.
struct RGBA {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  std::uint8_t a;
};

// The root of the row classes: size, colours and the menu a row belongs to.
class MenuItemBase {
 public:
  virtual ~MenuItemBase() = default;
  // Draws the row with its top-left corner at (left, top), showing its caption.
  virtual void Draw(float top, float left);
  // What picking the row does; nothing here.
  virtual void OnSelect() {}
  // The text the row shows, asked for at every draw; empty here.
  virtual std::string GetCaption() { return std::string(); }

  float width = 0.0f;                // normalised screen units
  float height = 0.0f;               // normalised screen units
  float textOffsetX = 0.0f;          // from the row's left edge to its caption
  std::uint8_t backgroundAlpha = 0;  // of the row's black rectangle
  RGBA textColor{0, 0, 0, 0};
  Menu* menu = nullptr;  // set by AddItem
};

// A menu's head row: taller and opaque.
class MenuItemTitle : public MenuItemBase {
 public:
  explicit MenuItemTitle(std::string caption);
  std::string GetCaption() override { return caption; }
  const std::string caption;
};

// An ordinary row: white text at alpha 150 on black at alpha 150.
class MenuItemDefault : public MenuItemBase {
 public:
  explicit MenuItemDefault(std::string caption);
  std::string GetCaption() override { return caption; }
  const std::string caption;
};

// A row that places a static object (an explosive or a piece of cover).
class MenuItemStaticCover : public MenuItemDefault {
 public:
  MenuItemStaticCover(std::uint32_t modelHash, std::string caption);
  void OnSelect() override;
  std::uint32_t modelHash;
};

// A row that places a mounted weapon, named by its model name.
class MenuItemMountedWeapon : public MenuItemDefault {
 public:
  MenuItemMountedWeapon(std::string modelName, std::string caption);
  void OnSelect() override;
  std::string modelName;
};

// The row that removes the last object set down.
class MenuDeleteLastSpawnedObject : public MenuItemDefault {
 public:
  using MenuItemDefault::MenuItemDefault;
  void OnSelect() override;
};

// A title row over item rows; owns both.
struct Menu {
  std::unique_ptr<MenuItemTitle> title;
  std::vector<std::unique_ptr<MenuItemBase>> items;
  Notification* owner = nullptr;  // set by AttachMenu
};

constexpr int kMenuRowLimit = 11;  // rows drawn at most

// Appends `item` to the menu, which takes ownership, and points the item at the menu. Should the
// list fail to grow, the item is deleted, the menu is unchanged, and the failure is passed on.
void AddItem(Menu& menu, MenuItemBase* item);
// Makes `record` the banner the menu's rows show their messages in.
void AttachMenu(Notification& record, Menu& menu);
// Draws the title and the first kMenuRowLimit rows in the top-left corner, for this frame.
void DrawMenu(const Menu& menu);
// The menu's rows in order, without the title; the menu keeps them.
std::vector<MenuItemBase*> GetItems(const Menu& menu);
// Shows `text` in the banner of the item's menu for 2500 ms, if the item has an attached menu.
void NotifyFromItem(MenuItemBase& item, std::string text);
