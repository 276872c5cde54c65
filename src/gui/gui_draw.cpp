// Drawing of the GUI as a whole: projections, quads, windows (text is in
// font_draw.cpp).
#include "gui/gui_draw.h"

#include "core/gl_api.h"

#include <algorithm>

void BindTexture(unsigned texture) { glBindTexture(GL_TEXTURE_2D, texture); }

void BindSkin(const TGUIObject& object, TSkinElement element) {
  const TSkin* skin = object.SkinRecord();
  BindTexture(skin ? skin->Textures[element] : 0);
}

void SetWindowColor(const TGUIObject& object, const TGUIColor& color) {
  glColor4f(color.R, color.G, color.B, object.Window->Color.A);
}

void RestoreWindowColor(const TGUIObject& object) {
  const TGUIColor& c = object.Window->Color;
  glColor4f(c.R, c.G, c.B, c.A);
}

void DrawQuad(float x1, float y1, float x2, float y2, float z) { DrawQuadUV(x1, y1, x2, y2, z, 0, 0, 1, 1); }

// The four corners of a quad, inside glBegin(GL_QUADS).
static void QuadVertices(float x1, float y1, float x2, float y2, float z, float u1, float v2, float u2, float v1) {
  glTexCoord2f(u1, v1);
  glVertex3f(x1, y1, z);
  glTexCoord2f(u1, v2);
  glVertex3f(x1, y2, z);
  glTexCoord2f(u2, v2);
  glVertex3f(x2, y2, z);
  glTexCoord2f(u2, v1);
  glVertex3f(x2, y1, z);
}

void DrawQuadUV(float x1, float y1, float x2, float y2, float z, float u1, float v2, float u2, float v1) {
  glBegin(GL_QUADS);
  QuadVertices(x1, y1, x2, y2, z, u1, v2, u2, v1);
  glEnd();
}

void DrawNinePatch(float x, float y, float border, float fraction, float z, float height, float width) {
  const float b = border, f = fraction;
  const float xs[4] = {x, x + b, x + width - b, x + width};
  const float ys[4] = {y, y + b, y + height - b, y + height};
  const float us[4] = {0, f, 1 - f, 1};
  const float vs[4] = {1, 1 - f, f, 0};
  // Corners, edges, centre: the order in which overlapping quads of a widget
  // narrower than two borders end up on screen.
  static constexpr int kCells[9][2] = {{0, 0}, {0, 2}, {2, 2}, {2, 0}, {1, 0}, {0, 1}, {1, 2}, {2, 1}, {1, 1}};
  glBegin(GL_QUADS);  // one batch: a separate begin per cell costs more than the cell
  for (const auto& cell : kCells) {
    int col = cell[0], row = cell[1];
    QuadVertices(xs[col], ys[row], xs[col + 1], ys[row + 1], z, us[col], vs[row + 1], us[col + 1], vs[row]);
  }
  glEnd();
}

void TGUIclass::SetOrtho(int32_t width, int32_t height, double zNear, double zFar) const {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void TGUIclass::SetPerspective(double fovY, double aspect, double zNear, double zFar) const {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fovY, aspect, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void TGUIclass::Draw() const {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (const auto& text : Texts) {
    if (!text->Visible) continue;
    glColor4f(text->Color.R, text->Color.G, text->Color.B, text->Color.A);
    DrawText(text->X, text->Y, text->Z, text->Font, text->Text);
    glColor4f(1, 1, 1, 1);
  }
  for (const auto& window : Windows)
    if (!window->IsChild) window->Draw();
  FlushText();
  glColor4f(1, 1, 1, 1);
}

// Where a widget's quads can land, so that text queued before it is drawn
// first only where the widget could cover it. Text-only widgets draw no
// quads; an open list, a popup menu or a tab page may reach anywhere, and so
// may quads turned inside out by negative sizes from a file.
namespace {
enum class TQuads { None, Within, Anywhere };
struct TQuadArea {
  TQuads Kind;
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

TQuadArea Area(const TGUIObject& w, float marginX, float marginY) {
  if (w.Width < 0 || w.Height < 0) return {TQuads::Anywhere};
  const float x = float(w.Window->X + w.X), y = float(w.Window->Y + w.Y);
  return {TQuads::Within, x - marginX, y - marginY, x + w.Width + marginX, y + w.Height + marginY};
}
// The corner cells of a nine-patch cross when the widget is smaller than a border.
TQuadArea NinePatchArea(const TGUIObject& w, float border) {
  return Area(w, std::max(0.0f, border - w.Width), std::max(0.0f, border - w.Height));
}
TQuadArea QuadArea(const TPanel& w) { return NinePatchArea(w, 15); }
TQuadArea QuadArea(const TEdit& w) { return NinePatchArea(w, 8); }
TQuadArea QuadArea(const TButton& w) { return NinePatchArea(w, 10); }
TQuadArea QuadArea(const TEditField& w) { return NinePatchArea(w, 20); }
// The bar is inset by 4 and turns inside out when shorter than 8.
TQuadArea QuadArea(const TProgressBar& w) {
  return w.Position >= 0 && w.Position <= 1 ? Area(w, 4, 4) : TQuadArea{TQuads::Anywhere};
}
TQuadArea QuadArea(const TCheckbox& w) { return Area(w, 0, 0); }
TQuadArea QuadArea(const TRadioButton& w) { return Area(w, 0, 0); }
TQuadArea QuadArea(const TImage& w) { return Area(w, 0, 0); }
TQuadArea QuadArea(const TText&) { return {TQuads::None}; }
TQuadArea QuadArea(const TTextField&) { return {TQuads::None}; }
// Closed: end caps as wide as the height, the middle one pixel longer.
TQuadArea QuadArea(const TCombobox& w) {
  return w.Open ? TQuadArea{TQuads::Anywhere} : Area(w, 1 + std::max(0, w.Height - w.Width), 0);
}
template <class Widget>
TQuadArea QuadArea(const Widget&) {
  return {TQuads::Anywhere};
}
}  // namespace

void TWindow::Draw() const {
  if (!Visible) return;
  glColor4f(Color.R, Color.G, Color.B, Color.A);
  const bool minimized = IsMinimized();
  if (ShowBackground && !minimized) {
    BindTexture(BackgroundTexture);
    DrawQuad(X, Y, X + Width, Y + Height, Z);
  }
  if (HasCaptionBar) {
    const float h = CaptionHeight, top = Y, bottom = Y + h, z = Z + 1.45f;
    BindSkin(*this, seCaptionBar);
    DrawQuadUV(X, top, X + h, bottom, z, 0, 0, 0.125f, 1);
    DrawQuadUV(X + h, top, X + Width - h, bottom, z, 0.125f, 0, 0.875f, 1);
    DrawQuadUV(X + Width - h, top, X + Width, bottom, z, 0.875f, 0, 1, 1);
    auto button = [&](const TCaptionButton& b, TSkinElement normal, TSkinElement pressed) {
      if (!b.Visible) return;
      BindSkin(*this, b.Pressed ? pressed : normal);
      DrawQuad(X + b.X, Y + b.Y, X + b.X + b.Width, Y + b.Y + b.Height, Z + 1.47f);
    };
    button(MinimizeButton, seMinimize, seMinimizeM);
    if (MaximizeButton.State)
      button(MaximizeButton, seNormalize, seNormalizeM);
    else
      button(MaximizeButton, seMaximize, seMaximizeM);
    button(CloseButton, seClose, seCloseM);
  }
  if (!minimized)
    ForEachWidget(kDrawOrder, [this](const auto& w) {
      if (!w.InUse || !w.Visible) return;
      const TQuadArea area = QuadArea(w);
      if (area.Kind == TQuads::Anywhere ||
          (area.Kind == TQuads::Within && Owner->QueuedTextMeets(area.X1, area.Y1, area.X2, area.Y2)))
        Owner->FlushText();
      w.Draw();
    });
  glColor4f(TextColor.R, TextColor.G, TextColor.B, Color.A);
  if (HasCaptionBar) Owner->QueueText(X + 11, Y + 5, Z + 1.47f, Font, Caption, {TextColor.R, TextColor.G, TextColor.B, Color.A});
  Owner->FlushText();
  if (HasChildWindows) {
    for (size_t i = 0; i < ChildWindows.size(); ++i) {
      if (!ChildWindows[i].Window) continue;
      glPushMatrix();
      glTranslatef(0, 0, static_cast<float>(i) / 10 + 1.5f);
      ChildWindows[i].Window->Draw();
      glPopMatrix();
    }
  }
}
