// Menu rows and menus: construction, drawing, and the banner reachable from a row.
#include "spawner/menu.h"

#include <utility>

#include "runtime/screen.h"

namespace {

constexpr float kMenuTop = 0.05f;
constexpr float kRowOverlap = 0.025f;  // rows overlap by 2.5 % of their height
constexpr std::uint32_t kItemNotificationMs = 2500;

void SetRowSize(MenuItemBase& item, float height, std::uint8_t alpha) {
  item.width = 0.22f;
  item.height = height;
  item.textOffsetX = 0.01f;
  item.backgroundAlpha = alpha;
  item.textColor = RGBA{255, 255, 255, alpha};
}

}  // namespace

void MenuItemBase::Draw(float top, float left) {
  SetTextSize(0.0f, height * 8.0f);
  SetTextColor(textColor.r, textColor.g, textColor.b, textColor.a);
  SetTextCentered(0);
  SetTextEffect(0, 0, 0, 0, 0);
  const std::string caption = GetCaption();
  DrawScreenText(left + textOffsetX, top + height * 0.22222222f, caption.c_str());
  DrawRectangle(left + width * 0.5f, top + height * 0.5f, width, height, backgroundAlpha);
}

MenuItemTitle::MenuItemTitle(std::string text) : caption(std::move(text)) {
  SetRowSize(*this, 0.06f, 255);
}

MenuItemDefault::MenuItemDefault(std::string text) : caption(std::move(text)) {
  SetRowSize(*this, 0.05f, 150);
}

MenuItemStaticCover::MenuItemStaticCover(std::uint32_t model, std::string text)
    : MenuItemDefault(std::move(text)), modelHash(model) {}

MenuItemMountedWeapon::MenuItemMountedWeapon(std::string model, std::string text)
    : MenuItemDefault(std::move(text)), modelName(std::move(model)) {}

// The row is owned from the start: when the list cannot grow, the row is deleted and the menu is
// as it was.
void AddItem(Menu& menu, MenuItemBase* item) {
  std::unique_ptr<MenuItemBase> row(item);
  menu.items.push_back(std::move(row));
  item->menu = &menu;
}

void AttachMenu(Notification& record, Menu& menu) {
  menu.owner = &record;
}

void DrawMenu(const Menu& menu) {
  menu.title->Draw(kMenuTop, 0.0f);
  float y = menu.title->height + kMenuTop;
  for (std::size_t row = 0; row < menu.items.size() && row < kMenuRowLimit; ++row) {
    MenuItemBase& item = *menu.items[row];
    item.Draw(y, 0.0f);
    y += item.height - item.height * kRowOverlap;
  }
}

std::vector<MenuItemBase*> GetItems(const Menu& menu) {
  std::vector<MenuItemBase*> items;
  items.reserve(menu.items.size());
  for (const std::unique_ptr<MenuItemBase>& item : menu.items) {
    items.push_back(item.get());
  }
  return items;
}

void NotifyFromItem(MenuItemBase& item, std::string text) {
  if (item.menu != nullptr && item.menu->owner != nullptr) {
    ShowNotification(*item.menu->owner, std::move(text), kItemNotificationMs);
  }
}
