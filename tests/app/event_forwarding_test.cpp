// The event handler's clock drives the GUI: held keys repeat, carets blink.
#include "app/event_handler.h"
#include "core/platform.h"
#include "../gui/gui_fixture.h"

namespace {

TEST_F(GuiTest, HeldKeysRepeatAfterHalfASecondAndCaretsBlink) {
  uint32_t now = 1000;
  SetTickSource([&] { return now; });
  GUIManager = &gui;
  TEventHandler handler;
  handler.LastCaretBlink = handler.LastKeyRepeat = now;
  TWindow& w = Shown(0, 0, 100, 100);
  TEdit& e = *w.Edits[w.AddEdit(0, 0, 90, 20, "")];
  gui.SetFocus(&e);
  gui.KeyDown('a');  // the press itself, as the handler forwards it
  handler.LastInput = now;
  handler.KeyHeld = true;
  std::string typed;
  for (uint32_t t : {1100u, 1500u, 1501u, 1540u, 1561u, 1600u, 1622u}) {
    now = t;
    handler.Tick();
    typed += std::to_string(e.Text.size()) + " ";
  }
  EXPECT_EQ(typed, "1 1 2 2 3 3 4 ");
  handler.KeyHeld = false;  // released: no more repeats, the caret blinks on its own
  bool caret = gui.CaretVisible;
  now = 1999;
  handler.Tick();
  EXPECT_EQ(gui.CaretVisible, caret);
  now = 2000;
  handler.Tick();
  EXPECT_NE(gui.CaretVisible, caret);
  GUIManager = nullptr;
  SetTickSource(nullptr);
}

}  // namespace
