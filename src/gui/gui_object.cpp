// TGUIObject: the common record, hit test, visibility and handler setters.
#include "gui/gui_object.h"

#include "gui/gui_manager.h"
#include "gui/gui_stream.h"
#include "core/binary_file.h"

#include <cmath>
#include <limits>

EGUIFileError::EGUIFileError(uint64_t offset, const std::string& what)
    : std::runtime_error(what + " at byte offset " + std::to_string(offset)) {}

int32_t GUIRound(double value) {
  if (std::isnan(value)) return 0;
  double r = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

void TGUIObject::LoadData(TBinaryFile&) {}
void TGUIObject::SaveData(TBinaryFile&) const {}

// Common record, 35 bytes: X, Y int32; Z single; Width, Height, Skin, Font
// int32; Movable, InUse, Visible byte; popup index int32 (-1 for none).
void TGUIObject::Save(TBinaryFile& file) const {
  file.WriteInteger(X);
  file.WriteInteger(Y);
  file.WriteSingle(Z);
  file.WriteInteger(Width);
  file.WriteInteger(Height);
  file.WriteInteger(Skin);
  file.WriteInteger(Font);
  file.WriteByte(Movable);
  file.WriteByte(InUse);
  file.WriteByte(Visible);
  file.WriteInteger(HasPopup && Popup ? Popup->Index : -1);
}

void TGUIObject::Load(TBinaryFile& file) {
  X = ReadInt(file);
  Y = ReadInt(file);
  Z = ReadFloat(file);
  Width = ReadInt(file);
  Height = ReadInt(file);
  Skin = ReadInt(file);
  Font = ReadInt(file);
  Movable = ReadBool(file);
  InUse = ReadBool(file);
  Visible = ReadBool(file);
  int32_t popup = ReadInt(file);
  TGUIclass& manager = Manager();
  if (Skin < 0 || Skin >= static_cast<int32_t>(manager.Skins.size()))
    throw EGUIFileError(file.Position(), "skin index " + std::to_string(Skin) + " outside the loaded skins");
  if (Font < 0 || Font >= static_cast<int32_t>(manager.Fonts.size()))
    throw EGUIFileError(file.Position(), "font index " + std::to_string(Font) + " outside the loaded fonts");
  if (popup >= 0) {
    if (popup >= static_cast<int32_t>(Window->PopupMenus.size()))
      throw EGUIFileError(file.Position(), "popup menu index " + std::to_string(popup) + " outside the window's menus");
    SetPopupMenu(Window->PopupMenus[popup].get());
  } else {
    SetPopupMenu(nullptr);
  }
}

bool TGUIObject::IsMouseOver(int32_t x, int32_t y) const {
  if (!Visible) return false;
  int64_t left = ScreenX(), top = ScreenY();
  return left <= x && x <= left + Width && top <= y && y <= top + Height;
}

void TGUIObject::SetVisible(bool visible) {
  if (!visible && OnHide) OnHide(this);
  Visible = visible;
}

void TGUIObject::SetOnMouseMove(TMouseMoveEvent handler) {
  if (handler && Window) Window->HasHoverHandlers = true;
  OnMouseMove = std::move(handler);
}

void TGUIObject::SetPopupMenu(TPopupMenu* popup) {
  Popup = popup;
  HasPopup = popup != nullptr;
  OnMouseDown = popup ? TMouseEvent(PopupOpenMouseDown) : TMouseEvent();
}

TGUIclass& TGUIObject::Manager() const { return *Window->Owner; }
const TSkin* TGUIObject::SkinRecord() const { return Manager().SkinAt(Skin); }
const TFont* TGUIObject::FontRecord() const { return Manager().FontAt(Font); }

int32_t TGUIObject::CharWidth() const {
  const TFont* font = FontRecord();
  return font ? font->CharWidth : 0;
}

int32_t TGUIObject::CharHeight() const {
  const TFont* font = FontRecord();
  return font ? font->CharHeight : 0;
}

int32_t TGUIObject::ScreenX() const { return Window && Window != this ? GUIClamp(int64_t{Window->X} + X) : X; }
int32_t TGUIObject::ScreenY() const { return Window && Window != this ? GUIClamp(int64_t{Window->Y} + Y) : Y; }

void PopupOpenMouseDown(int32_t x, int32_t y, TGUIObject* sender, int32_t button) {
  if (button != 3 || !sender->HasPopup || !sender->Popup) return;
  sender->Popup->X = GUIClamp(int64_t{x} + 2);
  sender->Popup->Y = GUIClamp(int64_t{y} + 2);
  sender->Popup->Open = true;
}

void SliderMouseDown(int32_t x, int32_t, TGUIObject* sender, int32_t) {
  auto* bar = dynamic_cast<TProgressBar*>(sender);
  if (!bar) return;
  int64_t d = x - (int64_t{bar->Window->X} + bar->X - 4);
  bar->Position = d > 0 && bar->Width != 0 ? static_cast<float>(d) / bar->Width : 0.0f;
}
