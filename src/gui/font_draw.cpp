// A font's glyphs on the graphics card: one display list per character code
// (kept for code that draws glyph by glyph), and strings drawn in batches.
#include "core/gl_api.h"
#include "gui/gui_manager.h"

#include <algorithm>

// A quad per glyph as its layout gives it, moving the pen after it. A font
// laid out again replaces its lists.
void BuildFontLists(TFont& font, const TFontGlyphs&) {
  if (font.ListBase) glDeleteLists(font.ListBase, 256);
  font.ListBase = 0;
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

// A string's quads, laid out afresh each time: cheap beside the draw, and
// nothing to go stale when the text or the font changes.
static std::vector<float>& LaidOut(const TFont& font, const std::string& text) {
  static std::vector<float> vertices;  // whole run: scratch of the one drawing thread
  vertices.clear();
  AppendTextVertices(font.Glyphs, text, vertices);
  return vertices;
}

void TGUIclass::DrawText(int32_t x, int32_t y, float z, int32_t font, const std::string& text) const {
  const TFont* f = FontAt(font);
  if (!f || f->ListBase == 0 || text.empty()) return;
  FlushText();
  const std::vector<float>& vertices = LaidOut(*f, text);
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

void TGUIclass::QueueText(int32_t x, int32_t y, float z, int32_t font, const std::string& text,
                          const TGUIColor& color) const {
  const TFont* f = FontAt(font);
  if (!f || f->ListBase == 0 || text.empty()) return;
  if (font != QueuedText.Font) FlushText();
  QueuedText.Font = font;
  const std::vector<float>& quads = LaidOut(*f, text);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  std::array<float, 4> rect{fx, fy, fx, fy};
  for (size_t i = 0; i < quads.size(); i += 4) {
    // The same sums the old per-string translation made: whole numbers, exact.
    const float vx = quads[i + 2] + fx, vy = quads[i + 3] + fy;
    QueuedText.Vertices.insert(QueuedText.Vertices.end(),
                               {quads[i], quads[i + 1], color.R, color.G, color.B, color.A, vx, vy, z});
    rect = {std::min(rect[0], vx), std::min(rect[1], vy), std::max(rect[2], vx), std::max(rect[3], vy)};
  }
  QueuedText.Rects.push_back(rect);
}

bool TGUIclass::QueuedTextMeets(float x1, float y1, float x2, float y2) const {
  const float left = std::min(x1, x2), right = std::max(x1, x2), top = std::min(y1, y2), bottom = std::max(y1, y2);
  for (const auto& r : QueuedText.Rects)  // touching counts: a shared edge pixel could be either's
    if (left <= r[2] && r[0] <= right && top <= r[3] && r[1] <= bottom) return true;
  return false;
}

void TGUIclass::FlushText() const {
  if (QueuedText.Vertices.empty()) return;
  const std::vector<float>& v = QueuedText.Vertices;
  constexpr GLsizei kStride = 9 * sizeof(float);
  glPushAttrib(GL_CURRENT_BIT);  // a colour array leaves the current colour undefined
  glDepthMask(GL_FALSE);
  glBindTexture(GL_TEXTURE_2D, Fonts[QueuedText.Font].Texture);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, kStride, v.data());
  glColorPointer(4, GL_FLOAT, kStride, v.data() + 2);
  glVertexPointer(3, GL_FLOAT, kStride, v.data() + 6);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v.size() / 9));
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDepthMask(GL_TRUE);
  glPopAttrib();
  QueuedText.Vertices.clear();
  QueuedText.Rects.clear();
}
