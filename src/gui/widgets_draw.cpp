// Drawing of each widget kind with its window's skin and font.
#include "core/gl_api.h"
#include "gui/gui_draw.h"

namespace {

// Screen position of a widget: its window's position plus its own.
struct TOrigin {
  float X, Y;
  explicit TOrigin(const TGUIObject& o) : X(float(o.Window->X + o.X)), Y(float(o.Window->Y + o.Y)) {}
};

// In the colour given with the alpha of the object's window.
void DrawLabel(const TGUIObject& o, float x, float y, float z, const std::string& text, const TGUIColor& color) {
  o.Manager().QueueText(GUIRound(x), GUIRound(y), z, o.Font, text, {color.R, color.G, color.B, o.Window->Color.A});
}

// The caret sits between two character cells.
void DrawCaret(const TGUIObject& o, int32_t column, float x, float y, const TGUIColor& color) {
  if (!o.HasFocus || !o.Manager().CaretVisible) return;
  const double cw = o.CharWidth();
  DrawLabel(o, GUIRound(cw * column + x - cw / 2), y, o.Z + 0.01f, "|", color);
}

}  // namespace

void TPanel::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, sePanel);
  DrawNinePatch(o.X, o.Y, 15, 0.25f, Z, Height, Width);
}

void TProgressBar::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, seProgressGround);
  DrawQuad(o.X, o.Y, o.X + Width, o.Y + Height, Z);
  BindSkin(*this, seProgressBar);
  DrawQuadUV(o.X + 4, o.Y + 4, GUIRound(Width * double(Position) + o.X) - 4, o.Y + Height - 4, Z + 0.01f, 0, 0,
             Position - 0.04f, 1);
}

void TEdit::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, seEdit);
  DrawNinePatch(o.X, o.Y, 8, 0.25f, Z, Height, Width);
  DrawLabel(*this, o.X + TextX, o.Y + TextY, Z + 0.01f, this->Text, TextColor);
  DrawCaret(*this, Caret, o.X + TextX, o.Y + TextY, TextColor);
}

void TButton::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, Pressed ? seButtonM : HasFocus ? seButtonC : seButton);
  DrawNinePatch(o.X, o.Y, 10, 0.25f, Z, Height, Width);
  DrawLabel(*this, o.X + TextX, o.Y + TextY, Z + 0.01f, Caption, TextColor);
}

void TCheckbox::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, Checked ? (Pressed ? seCheckMC : seCheckC) : (Pressed ? seCheckM : seCheck));
  DrawQuad(o.X, o.Y, o.X + Width, o.Y + Height, Z);
}

void TRadioButton::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, Checked ? (Pressed ? seRadioMC : seRadioC) : (Pressed ? seRadioM : seRadio));
  DrawQuad(o.X, o.Y, o.X + Width, o.Y + Height, Z);
}

void TTextField::Draw() const {
  TOrigin o(*this);
  for (size_t i = 0; i < Lines.size(); ++i) DrawLabel(*this, o.X, o.Y + float(i) * LineHeight, Z, Lines[i], TextColor);
}

void TEditField::Draw() const {
  TOrigin o(*this);
  BindSkin(*this, seEditField);
  DrawNinePatch(o.X, o.Y, 20, 0.25f, Z, Height, Width);
  for (size_t i = 0; i < Lines.size(); ++i)
    DrawLabel(*this, o.X + TextX, o.Y + TextY + float(i) * LineHeight, Z + 0.01f, Lines[i], TextColor);
  DrawCaret(*this, CaretColumn, o.X + TextX, o.Y + TextY + float(CaretLine) * LineHeight, TextColor);
}

void TImage::Draw() const {
  TOrigin o(*this);
  SetWindowColor(*this, Color);
  if (UseBlend)
    glBlendFunc(BlendSrc, BlendDst);
  else
    glDisable(GL_BLEND);
  BindTexture(Texture);
  DrawQuad(o.X, o.Y, o.X + Width, o.Y + Height, Z);
  if (UseBlend)
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  else
    glEnable(GL_BLEND);
  RestoreWindowColor(*this);
}

void TCombobox::Draw() const {
  TOrigin o(*this);
  const float h = Height;
  BindSkin(*this, seCombobox);
  DrawQuadUV(o.X, o.Y, o.X + h, o.Y + h, Z, 0, 0, 0.25f, 1);
  DrawQuadUV(o.X + h, o.Y, o.X + Width - h + 1, o.Y + h, Z, 0.25f, 0, 1, 1);
  BindSkin(*this, seComboboxButton);
  DrawQuad(o.X + Width - h, o.Y, o.X + Width, o.Y + h, Z + 0.001f);
  if (Selected >= 0 && Selected < ItemCount())
    DrawLabel(*this, o.X + TextX, o.Y + TextY, Z + 0.003f, Items[Selected]->Caption, TextColor);
  if (!Open) return;
  // The open list lies over whatever the window has below the box: edits,
  // buttons and labels stand nearer than a combo box, and would cut it.
  const float z = Z + kOpenListRaise;
  const float n = float(ItemCount());
  BindSkin(*this, seGround);
  DrawQuad(o.X + TextX, o.Y + h, o.X + Width - TextX, o.Y + (n + 1) * ItemHeight, z);
  BindSkin(*this, seComboGround);
  DrawQuad(o.X + TextX + 2, o.Y + h + float(ItemHeight) * Hovered + 2, o.X + Width - TextX - 2,
           o.Y + h + float(Hovered + 1) * ItemHeight - 2, z + 0.0001f);
  for (int32_t i = 0; i < ItemCount(); ++i)
    DrawLabel(*this, o.X + TextX + 4, o.Y + float(i + 1) * ItemHeight + TextY, z + 0.01f, Items[i]->Caption, TextColor);
}

void TPopupMenu::Draw() const {
  if (!Open) return;
  const float x = X, y = Y, h = Height;
  BindSkin(*this, seGround);
  DrawQuad(x, y, x + Width, y + float(ItemCount()) * h, Z - 0.02f);
  BindSkin(*this, seComboGround);
  DrawQuad(x + 2, y + h * Hovered + 2, x + Width - 2, y + (Hovered + 1) * h - 2, Z - 0.01f);
  for (int32_t i = 0; i < ItemCount(); ++i) DrawLabel(*this, x + TextX, y + TextY + i * h, Z, Items[i]->Caption, TextColor);
}

void TFrames::Draw() const {
  TOrigin o(*this);
  for (size_t i = 0; i < Pages.size(); ++i) {
    const float left = o.X + float(i) * TabWidth;
    BindSkin(*this, int32_t(i) == Selected ? seFrameC : seFrame);
    DrawQuad(left, o.Y, left + TabWidth, o.Y + TabHeight, Z);
    DrawLabel(*this, left + TextX, o.Y + TextY, Z + 0.01f, Pages[i]->Caption, TextColor);
  }
  if (Selected >= 0 && Selected < int32_t(Pages.size())) Pages[Selected]->Draw();
}

void TText::Draw() const {
  TOrigin o(*this);
  DrawLabel(*this, o.X, o.Y, Z, this->Text, Color);
}
