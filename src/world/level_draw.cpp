// The level's OpenGL side: fixed lighting, the skybox and the frame's draw.
#include "core/gl_api.h"
#include "world/level.h"
#include "world/level_loaders.h"

TLevel::~TLevel() { ReleaseGraphics(); }

void TLevel::ReleaseGraphics() {
  if (SkyboxList) glDeleteLists(SkyboxList, 1);
  SkyboxList = 0;
  for (unsigned& texture : SkyboxTextures)
    if (texture) {
      glDeleteTextures(1, &texture);
      texture = 0;
    }
}

void TLevel::SetUpLighting() {
  static const float ambient[4] = {0.8f, 0.8f, 0.8f, 1};
  static const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  static const float position[4] = {-100, 40, -100, 1};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, position);
}

namespace {
struct SkyCorner {
  float x, y, z, u, v;
};
// Faces in texture order, each pulled in by 1 so its edges overlap the
// others'. Only the corners' directions count: the sky is drawn at infinity.
const char* const kSkyFaceNames[6] = {"pos_x", "neg_x", "pos_z", "neg_z", "pos_y", "neg_y"};
const SkyCorner kSkyFaces[6][4] = {
    {{299, -300, 300, 0, 0}, {299, 300, 300, 0, 1}, {299, 300, -300, 1, 1}, {299, -300, -300, 1, 0}},
    {{-299, -300, -300, 0, 0}, {-299, 300, -300, 0, 1}, {-299, 300, 300, 1, 1}, {-299, -300, 300, 1, 0}},
    {{-300, -300, 299, 0, 0}, {-300, 300, 299, 0, 1}, {300, 300, 299, 1, 1}, {300, -300, 299, 1, 0}},
    {{300, -300, -299, 0, 0}, {300, 300, -299, 0, 1}, {-300, 300, -299, 1, 1}, {-300, -300, -299, 1, 0}},
    {{-300, 299, -300, 0, 0}, {300, 299, -300, 0, 1}, {300, 299, 300, 1, 1}, {-300, 299, 300, 1, 0}},
    {{300, -299, 300, 1, 1}, {300, -299, -300, 0, 1}, {-300, -299, -300, 0, 0}, {-300, -299, 300, 1, 0}},
};

// The sky behind everything, whatever the clipping planes and the camera
// mode. Its corners are directions (w = 0), which no translation moves, so
// it is centred on the eye exactly; and the projection's depth row is
// emptied while it is drawn, so neither the near nor the far plane can cut
// it (a cube of any size would lose its corners beyond a near far plane).
// The side planes and what lies behind the eye clip as ever. Drawn opaque,
// without depth, lighting or culling, the level covers it wherever it stands.
void DrawSky(unsigned list) {
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  for (int column = 0; column < 4; ++column) projection[column * 4 + 2] = 0;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadMatrixf(projection);
  glMatrixMode(GL_MODELVIEW);
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glCallList(list);
  glPopAttrib();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
}  // namespace

void TLevel::LoadSkybox(const std::string& skyboxName) {
  ReleaseGraphics();
  for (int i = 0; i < 6; ++i)
    LoadLevelTexture("data\\skyboxes\\" + skyboxName + "\\" + kSkyFaceNames[i] + ".bmp", SkyboxTextures[i]);
  SkyboxList = glGenLists(1);
  glNewList(SkyboxList, GL_COMPILE);
  for (int i = 0; i < 6; ++i) {
    glBindTexture(GL_TEXTURE_2D, SkyboxTextures[i]);
    glBegin(GL_QUADS);
    for (const SkyCorner& c : kSkyFaces[i]) {
      glTexCoord2f(c.u, c.v);
      glVertex4f(c.x, c.y, c.z, 0);
    }
    glEnd();
  }
  glEndList();
}

void TLevel::Render(const TFrustum& frustum) {
  RenderSky();
  RenderGeometry(frustum);
}

void TLevel::RenderSky() {
  if (SkyboxList) DrawSky(SkyboxList);
}

void TLevel::RenderGeometry(const TFrustum& frustum) {
  Octree->Render(frustum, true, ShowNodes);
  glDisable(GL_LIGHTING);
}
