// Mouse and keyboard dispatch of the GUI manager: hit testing by depth,
// pressing, dragging, focus, combo boxes, popup menus and editing keys.
#include "gui/gui_manager.h"

#include "core/key_codes.h"

#include <algorithm>

namespace {

// Keeps the nearest object under the mouse: a later object replaces the
// candidate only with a strictly larger depth. Free list elements never
// match, whatever their stored visibility.
//
// Every search visits the windows in list order, each window before its
// widgets and these in TWindow's hit order. Combo boxes and popup menus are
// offered in a second pass over all windows: an open list reaches past its
// window, so they are tested whether or not their window contains the point,
// and each one opens, closes or selects only when it is nearer than every
// widget found in the first pass.
struct THit {
  TGUIObject* Best = nullptr;
  float BestZ = 0;  // the depth Best was found at (an open list's lies nearer than its box)
  bool Nearer(float z) const { return !Best || z > BestZ; }
  bool Nearer(const TGUIObject& o) const { return Nearer(o.Z); }
  void Take(TGUIObject* o, float z) {
    Best = o;
    BestZ = z;
  }
  static bool Over(const TGUIObject& o, int32_t x, int32_t y) { return o.InUse && o.IsMouseOver(x, y); }
  void Offer(TGUIObject& o, int32_t x, int32_t y) {
    if (Over(o, x, y) && Nearer(o)) Take(&o, o.Z);
  }
  // The window and those of its widgets that `take` accepts.
  template <class Take>
  void OfferWindow(TWindow& w, int32_t x, int32_t y, Take&& take) {
    Offer(w, x, y);
    w.ForEachWidget(kHitOrder, [&](TGUIObject& o) {
      if (take(o)) Offer(o, x, y);
    });
  }
};

constexpr auto kEveryWidget = [](const TGUIObject&) { return true; };

template <class T>
T* As(TGUIObject* o) {
  return dynamic_cast<T*>(o);
}

}  // namespace

void TGUIclass::MouseMove(int32_t x, int32_t y) {
  HoveredObject = nullptr;
  if (Dragging && PressedObject) {
    TGUIObject* p = PressedObject;
    auto* window = As<TWindow>(p);
    if (!window || !window->MaximizeButton.State) {
      p->SetLeft(GUIClamp(int64_t{x} + p->X - LastMouseX));
      p->SetTop(GUIClamp(int64_t{y} + p->Y - LastMouseY));
      if (p->OnDrag) p->OnDrag(x, y, p, 1);
    }
  }
  THit hit;
  for (auto& w : Windows)
    if (w->HasHoverHandlers && THit::Over(*w, x, y))
      hit.OfferWindow(*w, x, y, [](const TGUIObject& o) { return static_cast<bool>(o.OnMouseMove); });
  for (auto& w : Windows) {
    for (auto& c : w->Comboboxes) {
      const float z = c->ZAt(y);
      if (!THit::Over(*c, x, y) || !hit.Nearer(z)) continue;
      hit.Take(c.get(), z);
      int32_t item = c->Open ? c->ItemAt(y) : -1;
      if (item >= 0) {
        c->Hovered = item;
        hit.Take(c->Items[item].get(), z);
      }
    }
    for (auto& p : w->PopupMenus) {
      if (!THit::Over(*p, x, y) || !hit.Nearer(*p)) continue;
      p->Hovered = p->ItemAt(y);
      hit.Take(p->Items[p->Hovered].get(), p->Z);
    }
  }
  HoveredObject = hit.Best;
  if (HoveredObject && HoveredObject->OnMouseMove) HoveredObject->OnMouseMove(x, y, HoveredObject);
  LastMouseX = x;
  LastMouseY = y;
}

void TGUIclass::MouseDown(int32_t x, int32_t y, int32_t button) {
  PressedObject = nullptr;
  THit hit;
  for (auto& w : Windows) {
    if (!THit::Over(*w, x, y)) continue;
    hit.OfferWindow(*w, x, y, kEveryWidget);
    if (w->HasCaptionBar && int64_t{y} <= int64_t{w->Y} + w->CaptionHeight && hit.Best &&
        hit.Best->Z < w->MinimizeButton.Z) {
      for (TCaptionButton* b : {static_cast<TCaptionButton*>(&w->MinimizeButton),
                                static_cast<TCaptionButton*>(&w->MaximizeButton),
                                static_cast<TCaptionButton*>(&w->CloseButton)}) {
        if (THit::Over(*b, x, y)) {
          hit.Take(b, b->Z);
          break;
        }
      }
    }
  }
  for (auto& w : Windows) {
    for (auto& c : w->Comboboxes) {
      if (!w->Visible || !THit::Over(*c, x, y)) {
        c->Open = false;
        continue;
      }
      const float z = c->ZAt(y);
      if (!hit.Nearer(z)) continue;
      if (!c->Open) {
        hit.Take(c.get(), z);
        c->Open = true;
      } else if (int64_t{y} < int64_t{w->Y} + c->Y + c->Height) {
        hit.Take(c.get(), z);
        c->Open = false;
      } else {
        hit.Take(c->Items[std::clamp(c->Hovered, 0, c->ItemCount() - 1)].get(), z);
      }
    }
    if (!w->Visible) continue;
    for (auto& p : w->PopupMenus) {
      if (THit::Over(*p, x, y) && hit.Nearer(*p)) {
        hit.Take(p->Items[std::clamp(p->Hovered, 0, p->ItemCount() - 1)].get(), p->Z);
      } else if (!THit::Over(*p, x, y)) {
        p->Open = false;
      }
    }
  }
  TGUIObject* p = hit.Best;
  PressedObject = p;
  if (!p) return;
  if (p->Movable && button == 1) {
    auto* window = As<TWindow>(p);
    if (!window || (window->HasCaptionBar && int64_t{y} <= int64_t{window->Y} + window->CaptionHeight))
      Dragging = true;
    LastMouseX = x;
    LastMouseY = y;
  }
  if (auto* b = As<TButton>(p)) {
    if (button == 1) b->Pressed = true;
  } else if (auto* e = As<TEdit>(p)) {
    if (button == 1) e->PlaceCaret(x);
  } else if (auto* c = As<TCheckbox>(p)) {
    if (button == 1) c->Pressed = true;
  } else if (auto* r = As<TRadioButton>(p)) {
    if (button == 1) r->Pressed = true;
  } else if (auto* cb = As<TCaptionButton>(p)) {
    cb->Pressed = true;
  } else if (auto* f = As<TEditField>(p)) {
    if (button == 1) f->PlaceCaret(x, y);
  } else if (auto* t = As<TFrames>(p)) {
    if (t->TabWidth > 0) t->SelectTab(static_cast<int32_t>((int64_t{x} - t->Window->X - t->X) / t->TabWidth));
  }
  MouseDownActive = true;
  if (p->OnMouseDown) p->OnMouseDown(x, y, p, button);
  if (!ActiveObject || ActiveObject->Window != p->Window) UpdateZOrder();
  auto* item = As<TPopupMenuItem>(p);
  ActiveObject = item && item->Menu ? item->Menu : p;
}

void TGUIclass::MouseUp(int32_t x, int32_t y, int32_t button) {
  if (Dragging) {
    Dragging = false;
    if (PressedObject && PressedObject->OnDragEnd) PressedObject->OnDragEnd(x, y, PressedObject, 1);
  }
  if (MouseDownActive && PressedObject) {
    TGUIObject* p = PressedObject;
    if (auto* b = As<TButton>(p)) b->Pressed = false;
    if (auto* c = As<TCheckbox>(p)) c->Pressed = false;
    if (auto* r = As<TRadioButton>(p)) r->Pressed = false;
    if (auto* cb = As<TCaptionButton>(p)) cb->Pressed = false;
    if (auto* item = As<TPopupMenuItem>(p)) {
      TWindow* w = item->Window;
      if (item->Tag >= 0 && item->Tag < static_cast<int32_t>(w->PopupMenus.size())) {
        TPopupMenu& menu = *w->PopupMenus[item->Tag];
        const TPopupMenuItem* hovered = menu.Items[std::clamp(menu.Hovered, 0, menu.ItemCount() - 1)].get();
        if (menu.IsMouseOver(x, y) && hovered == item && item->OnClick) item->OnClick(x, y, item, button);
      }
    } else if (auto* w = As<TWindow>(p)) {
      if (w->X <= x && x <= int64_t{w->X} + w->Width && w->Y <= y && y <= int64_t{w->Y} + w->Height && w->OnClick)
        w->OnClick(x, y, w, button);
    } else if (p->IsMouseOver(x, y)) {
      if (button == 1) {
        if (auto* c = As<TCheckbox>(p)) c->Checked = !c->Checked;
        if (auto* r = As<TRadioButton>(p)) r->Select();
      }
      if (p->OnClick) {
        if (auto* m = As<TMaximizeButton>(p)) m->State = !m->State;
        p->OnClick(x, y, p, button);
      }
    }
    MouseDownActive = false;
  }
  THit hit;
  for (auto& w : Windows)
    if (THit::Over(*w, x, y)) hit.OfferWindow(*w, x, y, kEveryWidget);
  for (auto& w : Windows) {
    if (!w->Visible) continue;
    for (auto& c : w->Comboboxes) {
      const float z = c->ZAt(y);
      if (!c->Open || !THit::Over(*c, x, y) || !hit.Nearer(z)) continue;
      hit.Take(c->Items[std::clamp(c->Hovered, 0, c->ItemCount() - 1)].get(), z);
      if (int64_t{y} > int64_t{w->Y} + c->Y + c->Height) {
        c->Selected = std::clamp(c->Hovered, 0, c->ItemCount() - 1);
        c->Open = false;
      }
    }
    for (auto& p : w->PopupMenus) {
      if (!THit::Over(*p, x, y) || !hit.Nearer(*p)) continue;
      hit.Take(p->Items[std::clamp(p->Hovered, 0, p->ItemCount() - 1)].get(), p->Z);
      p->Open = false;
    }
  }
  TGUIObject* r = hit.Best;
  if (!r) return;
  if (r->OnMouseUp) r->OnMouseUp(x, y, r, button);
  if (r == PressedObject && button == 1 && !As<TPopupMenuItem>(r) && !As<TComboBoxItem>(r)) SetFocus(r);
}

bool TGUIclass::WantsText() const { return As<TEdit>(FocusedObject) || As<TEditField>(FocusedObject); }

uint16_t TGUIclass::TranslateKey(uint16_t key) {
  switch (key) {
    case kKeyDelete: return kVkDelete;
    case kKeyUp: return kVkUp;
    case kKeyDown: return kVkDown;
    case kKeyRight: return kVkRight;
    case kKeyLeft: return kVkLeft;
    case kKeyCapsLock: return kVkCapsLock;
    case kKeyRShift: case kKeyLShift: return kVkShift;
    case kKeyRAlt: case kKeyLAlt: return kVkAlt;
    default: return key;
  }
}

void TGUIclass::KeyDown(uint16_t key, uint16_t unicode) {
  if (FocusedObject && FocusedObject->OnKeyDown) FocusedObject->OnKeyDown(key, FocusedObject);
  LastKey = key;
  LastUnicode = unicode;
  // The player's layout decides the character; the German table serves keys
  // the system gave none for.
  auto typed = [&] {
    std::string ch = Windows1252Char(unicode);
    return ch.empty() ? KeyToChar(key) : ch;
  };
  if (auto* edit = As<TEdit>(FocusedObject)) {
    CaretVisible = true;
    std::string ch = typed();
    key = TranslateKey(key);
    edit->HandleKey(ch, key);
  }
  if (auto* field = As<TEditField>(FocusedObject)) {
    CaretVisible = true;
    std::string ch = typed();
    key = TranslateKey(key);
    field->HandleKey(ch, key);
  }
  if (key == kVkShift) Shift = true;
  if (key == kVkAlt) AltGr = true;
}

void TGUIclass::KeyUp(uint16_t key) {
  key = TranslateKey(key);
  if (FocusedObject && FocusedObject->OnKeyUp) FocusedObject->OnKeyUp(key, FocusedObject);
  if (key == kVkShift) Shift = false;
  if (key == kVkAlt) AltGr = false;
}

std::string TGUIclass::Windows1252Char(uint16_t unicode) {
  if ((unicode >= 0x20 && unicode < 0x7F) || (unicode >= 0xA0 && unicode <= 0xFF))
    return std::string(1, static_cast<char>(unicode));
  // 0x80..0x9F of the code page: the characters it puts where Latin-1 has
  // control codes (its unassigned five stay out).
  static constexpr uint16_t kHigh[32] = {
      0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
      0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E,
      0x0178};
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] != 0 && kHigh[i] == unicode) return std::string(1, static_cast<char>(0x80 + i));
  return {};
}

// German (QWERTZ) layout in Windows-1252: key symbol, plain, Shift, AltGr.
static constexpr struct {
  uint16_t Key;
  char Plain, Shifted, AltGr;
} kKeyTable[] = {
    {kKeySpace, ' ', ' ', ' '},
    {kKeyQuote, '\xE4', '\xC4', '\xE4'},
    {kKeyComma, ',', ';', ','},
    {kKeyMinus, '\xDF', '?', '\\'},
    {kKeyPeriod, '.', ':', '.'},
    {kKeySlash, '-', '_', '-'},
    {kKey0, '0', '=', '}'},
    {kKey1, '1', '!', '1'},
    {kKey2, '2', '"', '\xB2'},
    {kKey3, '3', '\xA7', '\xB3'},
    {kKey4, '4', '$', '4'},
    {kKey5, '5', '%', '5'},
    {kKey6, '6', '&', '6'},
    {kKey7, '7', '/', '{'},
    {kKey8, '8', '(', '['},
    {kKey9, '9', ')', ']'},
    {kKeySemicolon, '\xF6', '\xD6', '\xF6'},
    {kKeyLess, '<', '>', '|'},
    {kKeyEquals, '\xB4', '\x60', '\xB4'},
    {kKeyLeftBracket, '\xFC', '\xDC', '\xFC'},
    {kKeyBackslash, '#', '\'', '#'},
    {kKeyRightBracket, '+', '*', '~'},
    {kKeyBackquote, '^', '\xB0', '^'},
    {kKeyY, 'z', 'Z', 'z'},
    {kKeyZ, 'y', 'Y', 'y'},
};

std::string TGUIclass::KeyToChar(uint16_t key) const {
  char c = 0;
  if (key >= kKeyA && key <= kKeyX) {
    if (Shift)
      c = static_cast<char>(key - kKeyA + 'A');
    else if (AltGr)
      c = key == kKeyE ? '\x80' : key == kKeyM ? '\xB5' : key == kKeyQ ? '\x40' : static_cast<char>(key);
    else
      c = static_cast<char>(key);
  } else {
    for (const auto& entry : kKeyTable) {
      if (entry.Key != key) continue;
      c = Shift ? entry.Shifted : AltGr ? entry.AltGr : entry.Plain;
      break;
    }
  }
  return c ? std::string(1, c) : std::string();
}
