// One display list per character code, so a string is one call-lists.
#include "core/gl_api.h"
#include "gui/gui_manager.h"

void BuildFontLists(TFont& font, const TFontGlyphs& glyphs) {
  glBindTexture(GL_TEXTURE_2D, font.Texture);
  glPushMatrix();
  font.ListBase = glGenLists(256);
  if (font.ListBase == 0) {
    glPopMatrix();
    return;
  }
  for (int c = 0; c < 256; ++c) {
    glNewList(font.ListBase + c, GL_COMPILE);
    glBegin(GL_QUADS);
    if (glyphs.IsFci) {
      const TFontGlyphs::TRect& r = glyphs.Rects[c];
      const float w = static_cast<float>(font.CharWidth), h = static_cast<float>(font.CharHeight);
      glTexCoord2f(r.Left, 1 - r.Top);
      glVertex2f(0, 0);
      glTexCoord2f(r.Left, 1 - r.Bottom);
      glVertex2f(0, h);
      glTexCoord2f(r.Right, 1 - r.Bottom);
      glVertex2f(w, h);
      glTexCoord2f(r.Right, 1 - r.Top);
      glVertex2f(w, 0);
      glEnd();
      glTranslatef(w, 0, 0);
    } else {
      // Glyph c sits centred in cell (c mod 16, c div 16) of a 16 x 16 grid,
      // rows counted from the top of the image.
      const float w = glyphs.Widths[c];
      const float uc = (c % 16) / 16.0f, vr = (c / 16) / 16.0f, m = (16 - w) / 2 / 256;
      const float u1 = uc + m, u2 = uc + m + w / 256 + 1.0f / 512;
      glTexCoord2f(u1, 1 - vr - 1.0f / 16);
      glVertex2f(0, 16);
      glTexCoord2f(u2, 1 - vr - 1.0f / 16);
      glVertex2f(w, 16);
      glTexCoord2f(u2, 1 - vr);
      glVertex2f(w, 0);
      glTexCoord2f(u1, 1 - vr);
      glVertex2f(0, 0);
      glEnd();
      glTranslatef(w + 1, 0, 0);
    }
    glEndList();
  }
  glPopMatrix();
}
