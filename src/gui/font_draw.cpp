// A font's glyphs on the graphics card: one display list per character code
// (kept for code that draws glyph by glyph), and strings drawn as one batch
// each.
#include "core/gl_api.h"
#include "gui/gui_manager.h"

// A quad per glyph as its layout gives it, moving the pen after it.
void BuildFontLists(TFont& font, const TFontGlyphs&) {
  glBindTexture(GL_TEXTURE_2D, font.Texture);
  glPushMatrix();
  font.ListBase = glGenLists(256);
  if (font.ListBase == 0) {
    glPopMatrix();
    return;
  }
  for (int c = 0; c < 256; ++c) {
    const TGlyphQuad& q = font.Glyphs[c];
    glNewList(font.ListBase + c, GL_COMPILE);
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
      glTexCoord2f(q.U[i], q.V[i]);
      glVertex2f(q.X[i], q.Y[i]);
    }
    glEnd();
    glTranslatef(q.Advance, 0, 0);
    glEndList();
  }
  glPopMatrix();
}

void TGUIclass::DrawText(int32_t x, int32_t y, float z, int32_t font, const std::string& text) const {
  const TFont* f = FontAt(font);
  if (!f || f->ListBase == 0 || text.empty()) return;
  // One draw per string: the software renderer pays per draw call and per
  // state change far more than for laying out a few quads, so the quads are
  // laid out afresh each time and nothing can go stale.
  static std::vector<float> vertices;  // whole run: scratch of the one drawing thread
  vertices.clear();
  AppendTextVertices(f->Glyphs, text, vertices);
  // Text hides nothing drawn after it but is hidden by nearer objects.
  glDepthMask(GL_FALSE);
  glBindTexture(GL_TEXTURE_2D, f->Texture);
  glPushMatrix();
  glTranslatef(static_cast<float>(x), static_cast<float>(y), z);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), vertices.data());
  glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), vertices.data() + 2);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 4));
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glPopMatrix();
  glDepthMask(GL_TRUE);
}
