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
// Faces in texture order, each pulled in by 1 so its edges meet the others.
const char* const kSkyFaceNames[6] = {"pos_x", "neg_x", "pos_z", "neg_z", "pos_y", "neg_y"};
const SkyCorner kSkyFaces[6][4] = {
    {{299, -300, 300, 0, 0}, {299, 300, 300, 0, 1}, {299, 300, -300, 1, 1}, {299, -300, -300, 1, 0}},
    {{-299, -300, -300, 0, 0}, {-299, 300, -300, 0, 1}, {-299, 300, 300, 1, 1}, {-299, -300, 300, 1, 0}},
    {{-300, -300, 299, 0, 0}, {-300, 300, 299, 0, 1}, {300, 300, 299, 1, 1}, {300, -300, 299, 1, 0}},
    {{300, -300, -299, 0, 0}, {300, 300, -299, 0, 1}, {-300, 300, -299, 1, 1}, {-300, -300, -299, 1, 0}},
    {{-300, 299, -300, 0, 0}, {300, 299, -300, 0, 1}, {300, 299, 300, 1, 1}, {-300, 299, 300, 1, 0}},
    {{300, -299, 300, 1, 1}, {300, -299, -300, 0, 1}, {-300, -299, -300, 0, 0}, {-300, -299, 300, 1, 0}},
};
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
      glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
  }
  glEndList();
}

void TLevel::Render(const TVec3& viewer, const TFrustum& frustum) {
  glTranslatef(viewer.x, viewer.y, viewer.z);
  glCallList(SkyboxList);
  glLoadIdentity();
  Octree->Render(frustum, true, ShowNodes);
  glDisable(GL_LIGHTING);
}
