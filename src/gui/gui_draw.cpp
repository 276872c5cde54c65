// Drawing of the GUI as a whole: projections, quads, windows (text is in
// font_draw.cpp).
#include "gui/gui_draw.h"

#include "core/gl_api.h"

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
  glColor4f(1, 1, 1, 1);
}

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
    ForEachWidget(kDrawOrder, [](const TGUIObject& w) {
      if (w.InUse && w.Visible) w.Draw();
    });
  glColor4f(TextColor.R, TextColor.G, TextColor.B, Color.A);
  if (HasCaptionBar) Owner->DrawText(X + 11, Y + 5, Z + 1.47f, Font, Caption);
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
