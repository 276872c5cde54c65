// The chat window: one line of at most 50 characters, to the team or to all.
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "gui/gui_manager.h"

namespace {
constexpr size_t kMaxChat = 50;

void CloseChat() {
  HideWindow(ChatWindow);
  FrontSetCursorVisible(false);
}
}  // namespace

void BuildChatWindow() {
  LoadChildWindow("data\\GUI\\Chat.gui", ChatWindow, IngameForm);
  TWindow* w = Win(ChatWindow);
  if (!w || w->Edits.empty() || w->Buttons.size() < 2) return;
  TEdit* edit = w->Edits[0].get();
  edit->MaxLength = static_cast<int32_t>(kMaxChat);
  // Text that arrives other than by typing is cut as well.
  auto cut = [edit](uint16_t, TGUIObject*) {
    if (edit->Text.size() > kMaxChat) {
      edit->Text.resize(kMaxChat);
      edit->Caret = std::min<int32_t>(edit->Caret, static_cast<int32_t>(kMaxChat));
    }
  };
  edit->SetOnKeyUp(cut);
  w->Buttons[0]->SetOnClick([w, edit](int32_t, int32_t, TGUIObject*, int32_t) {
    bool teamOnly = !w->Checkboxes.empty() && w->Checkboxes[0]->Checked;
    if (FrontendHooks.SendChat) FrontendHooks.SendChat(edit->Text.substr(0, kMaxChat), teamOnly);
    CloseChat();
  });
  w->Buttons[1]->SetOnClick([](int32_t, int32_t, TGUIObject*, int32_t) { CloseChat(); });
  w->SetOnHide(ReleaseFocus);
}

void OpenChatWindow() {
  TWindow* w = Win(ChatWindow);
  if (!w || w->Visible) return;
  w->SetVisible(true);
  FrontSetCursorVisible(true);
  CentreWindow(*w);
  if (!w->Edits.empty()) {
    w->Edits[0]->Text.clear();
    w->Edits[0]->Caret = 0;
    // The player presses "c" to type at once.
    GUIManager->SetFocus(w->Edits[0].get());
  }
  w->CloseButton.Visible = true;
}
