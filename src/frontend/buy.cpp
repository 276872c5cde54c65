// The buy window: three pages of five items (pistols, rifles, equipment),
// each a picture to click, a name, the figures and a description.
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "game/weapons.h"
#include "gui/gui_manager.h"

#include <cmath>

namespace {
constexpr int32_t kPages = 3, kItems = 5;
// The three page-switching pictures come first in the window's images.
constexpr size_t kFirstItemImage = 3;
// Per item: its picture, two texts and a text field.
constexpr size_t kTextsPerItem = 2;

struct TItem {
  unsigned Texture = 0;
  std::string Name, Figures, Description;
};

TItem ItemOf(int32_t page, int32_t i) {
  TItem item;
  if (!Weapons) return item;
  auto weapon = [&](const std::vector<std::unique_ptr<TWeapon>>& list) {
    if (i >= static_cast<int32_t>(list.size()) || !list[static_cast<size_t>(i)]) return;
    const TWeapon& w = *list[static_cast<size_t>(i)];
    item = {w.Texture, w.FolderName,
            "Damage: " + std::to_string(std::lround(w.Damage)) + ";      Accuracy: " +
                std::to_string(std::lround(w.Accuracy)) + ";      Cost: " + std::to_string(w.Prize),
            w.Description};
  };
  if (page == 0) weapon(Weapons->Pistols);
  if (page == 1) weapon(Weapons->Rifles);
  if (page == 2 && i < static_cast<int32_t>(Weapons->Equips.size()) && Weapons->Equips[static_cast<size_t>(i)]) {
    const TEquip& e = *Weapons->Equips[static_cast<size_t>(i)];
    item = {e.Texture, e.FolderName, "Cost: " + std::to_string(e.Prize), e.Description};
  }
  return item;
}

void Buy(int32_t page, int32_t i) {
  TCharacter* player = Characters ? Characters->LocalCharacter : nullptr;
  if (!player) return;
  if (page == 0) player->BuyPistol(i);
  if (page == 1) player->BuyRifle(i);
  if (page == 2) player->BuyEquipment(i);
}

template <class T>
void ShowRange(std::vector<std::unique_ptr<T>>& list, size_t first, size_t count, bool visible) {
  for (size_t i = first; i < first + count && i < list.size(); ++i) list[i]->Visible = visible;
}
}  // namespace

void BuildBuyWindow() {
  LoadChildWindow("data\\GUI\\buy.gui", BuyWindow, IngameForm);
  TWindow* w = Win(BuyWindow);
  if (!w) return;
  w->SetLeft(ScreenCenterX - 400);
  w->SetTop(ScreenCenterY - 300);
  w->SetZ(2);
  w->SetOnHide([](TGUIObject*) { FrontSetCursorVisible(false); });
  for (int32_t page = 0; page < kPages && page < static_cast<int32_t>(w->Images.size()); ++page)
    w->Images[static_cast<size_t>(page)]->SetOnClick(
        [page](int32_t, int32_t, TGUIObject*, int32_t) { ShowBuyPage(page); });
  if (w->Panels.empty()) return;
  const TPanel& panel = *w->Panels[0];
  const int32_t s = static_cast<int32_t>(std::lround(panel.Height / 5.0)) - 18;
  for (int32_t page = 0; page < kPages; ++page) {
    for (int32_t i = 0; i < kItems; ++i) {
      TItem item = ItemOf(page, i);
      const int32_t top = panel.Y + (s + 10) * i;
      int32_t image = w->AddImage(panel.X + 20, top + 20, s, s, false, 0, 0, "data\\nil.bmp");
      TImage& picture = *w->Images[static_cast<size_t>(image)];
      picture.Texture = item.Texture;
      picture.Tag = i;
      picture.SetOnClick([page, i](int32_t, int32_t, TGUIObject*, int32_t) { Buy(page, i); });
      int32_t name = w->AddText(panel.X + s + 30, top + 23, item.Name, kGUIWhite);
      int32_t figures = w->AddText(panel.X + s + 40, top + 40, item.Figures, kGUIBlack);
      for (int32_t text : {name, figures}) {
        TText& t = *w->Texts[static_cast<size_t>(text)];
        t.Font = FontCourier45;
        t.SetText(t.Text);
      }
      int32_t field = w->AddTextField(panel.X + s + 40, top + 57, panel.Width - s - 60, s - 40, item.Description,
                                      FontCourier45);
      TTextField& description = *w->TextFields[static_cast<size_t>(field)];
      description.TextColor = kGUIBlack;
      // The toolkit's default spacing lets this font's wrapped lines overlap.
      description.LineHeight = description.CharHeight();
    }
  }
}

void ShowBuyPage(int32_t page) {
  TWindow* w = Win(BuyWindow);
  if (!w) return;
  const size_t items = kPages * kItems;
  ShowRange(w->Images, kFirstItemImage, w->Images.size(), false);
  ShowRange(w->Texts, 0, items * kTextsPerItem, false);
  ShowRange(w->TextFields, 0, items, false);
  const size_t first = static_cast<size_t>(page) * kItems;
  ShowRange(w->Images, kFirstItemImage + first, kItems, true);
  ShowRange(w->Texts, first * kTextsPerItem, kItems * kTextsPerItem, true);
  ShowRange(w->TextFields, first, kItems, true);
}
