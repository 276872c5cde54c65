// Drawing one emitter: a textured quad per live particle, turned to face the
// camera.
#include "core/gl_api.h"
#include "fx/particle_effect.h"

namespace {

// The model-view matrix of a particle at (x, y, z) in frame m, with its
// rotation and scale removed so the quad lies in the view's axes:
// m * translate(x, y, z), upper-left 3 x 3 set to the identity.
void BillboardMatrix(const GLfloat m[16], float x, float y, float z, GLfloat out[16]) {
  for (int i = 0; i < 16; ++i) out[i] = m[i];
  for (int row = 0; row < 4; ++row) out[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row) out[col * 4 + row] = col == row ? 1.0f : 0.0f;
}

}  // namespace

void TExampleFX::Draw(float cameraYaw) const {
  if (!Active) return;
  glBindTexture(GL_TEXTURE_2D, Texture);
  glPushMatrix();
  // The frame is the same for every particle; reading it once spares the
  // pipeline a stall per particle.
  GLfloat frame[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, frame);
  for (int32_t i = 0; i < Container.Count(); ++i) {
    const TParticle& p = Container[i];
    if (p.Life <= 0) continue;
    glColor4f(p.Red, p.Green, p.Blue, ParticleAlpha(p, Settings) / 2);
    GLfloat billboard[16];
    BillboardMatrix(frame, p.X, p.Y, p.Z, billboard);
    glLoadMatrixf(billboard);
    // The camera turns the world by yaw + 90 degrees about the vertical
    // (the view looks along (cos yaw, 0, sin yaw)); turning the quad back by
    // the same angle makes it face the viewer. Turning back by the yaw alone
    // would leave every quad edge-on.
    glRotatef(cameraYaw + 90, 0, -1, 0);
    glScalef(static_cast<float>(EffectScale[0]), static_cast<float>(EffectScale[1]), static_cast<float>(EffectScale[2]));
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex3f(0.05f, -0.05f, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-0.05f, -0.05f, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-0.05f, 0.05f, 0);
    glTexCoord2f(1, 1);
    glVertex3f(0.05f, 0.05f, 0);
    glEnd();
  }
  glPopMatrix();
}
