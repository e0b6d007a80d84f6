// Menu rows and menus. A menu is a title row over numbered item rows, drawn in the top-left
// corner; rows are picked by number keys. What a row shows is its GetCaption, what picking it
// does is its OnSelect.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Menu;
struct Notification;

struct RGBA {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  std::uint8_t a;
};

class MenuItemBase {
 public:
  virtual ~MenuItemBase() = default;
  // Draws the row with its top-left corner at (left, top).
  virtual void Draw(float top, float left);
  virtual void OnSelect() {}
  virtual std::string GetCaption() { return std::string(); }

  float width = 0.0f;
  float height = 0.0f;
  float textOffsetX = 0.0f;
  std::uint8_t backgroundAlpha = 0;
  RGBA textColor{0, 0, 0, 0};
  Menu* menu = nullptr;  // set by AddItem
};

class MenuItemTitle : public MenuItemBase {
 public:
  explicit MenuItemTitle(std::string caption);
  std::string GetCaption() override { return caption; }
  std::string caption;
};

class MenuItemDefault : public MenuItemBase {
 public:
  explicit MenuItemDefault(std::string caption);
  std::string GetCaption() override { return caption; }
  std::string caption;
};

class MenuItemStaticCover : public MenuItemDefault {
 public:
  MenuItemStaticCover(std::uint32_t modelHash, std::string caption);
  void OnSelect() override;
  std::uint32_t modelHash;
};

class MenuItemMountedWeapon : public MenuItemDefault {
 public:
  MenuItemMountedWeapon(std::string modelName, std::string caption);
  void OnSelect() override;
  std::string modelName;
};

class MenuDeleteLastSpawnedObject : public MenuItemDefault {
 public:
  using MenuItemDefault::MenuItemDefault;
  void OnSelect() override;
};

struct Menu {
  std::unique_ptr<MenuItemTitle> title;
  std::vector<std::unique_ptr<MenuItemBase>> items;
  Notification* owner = nullptr;  // set by AttachMenu
};

constexpr int MenuRowLimit = 11;

void AddItem(Menu& menu, MenuItemBase* item);
void AttachMenu(Notification& record, Menu& menu);
void DrawMenu(const Menu& menu);
std::vector<MenuItemBase*> GetItems(const Menu& menu);
// Shows `text` in the banner of the item's menu for 2500 ms, if the item has an attached menu.
void NotifyFromItem(MenuItemBase& item, std::string text);
