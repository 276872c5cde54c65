// The character choice: two models per team, a click sets the local
// player's model.
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "gui/gui_manager.h"

void BuildCharacterChoice() {
  LoadChildWindow("data\\GUI\\choosecharacter.gui", ChooseCharacterWindow, IngameForm);
  TWindow* w = Win(ChooseCharacterWindow);
  if (!w) return;
  w->SetOnHide([](TGUIObject*) { FrontSetCursorVisible(false); });
  if (w->Panels.size() < 2) return;
  const TCharacterModelNames names = TCharacterModelNames::Read();
  const TPanel& terror = *w->Panels[0];
  const TPanel& counter = *w->Panels[1];
  struct {
    const TPanel& Panel;
    bool Lower;
    int32_t Model;
  } choices[] = {{counter, false, 0}, {counter, true, 1}, {terror, false, 10}, {terror, true, 11}};
  for (const auto& c : choices) {
    const int32_t side = c.Panel.Width - 20;
    const int32_t y = c.Lower ? c.Panel.Y + c.Panel.Height + 15 : c.Panel.Y + 25;
    int32_t index = w->AddImage(c.Panel.X + 10, y, side, side, false, 0, 0,
                                "data\\characters\\" + names.ForModel(c.Model) + "\\graphic.jpg");
    TImage& image = *w->Images[static_cast<size_t>(index)];
    image.Tag = c.Model;
    image.SetOnClick([](int32_t, int32_t, TGUIObject* sender, int32_t) {
      if (Characters && Characters->LocalCharacter) Characters->LocalCharacter->SetModel(sender->Tag);
      HideWindow(ChooseCharacterWindow);
    });
  }
}
