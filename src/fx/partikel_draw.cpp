// Drawing the particle effects and loading their textures.
#include "core/gl_api.h"
#include "fx/partikel.h"
#include "render/textures.h"

unsigned TPartikel::TextureFor(const std::string& path) {
  auto found = textures.find(path);
  if (found != textures.end()) return found->second;
  // A texture that does not load is reported once by the loader and stays 0.
  unsigned texture = 0;
  LoadTexture(path, texture);
  textures.emplace(path, texture);
  return texture;
}

void TPartikel::DrawAll(float cameraYaw) {
  std::lock_guard<std::mutex> guard(lock);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDepthMask(GL_FALSE);
  for (int32_t i = 0; i <= highSlot; ++i) {
    TExampleFX* fx = EffectAt(i);
    if (!fx) continue;
    if (!fx->Texture) fx->Texture = TextureFor(fx->Settings.TexPath);
    glPushMatrix();
    glTranslated(fx->Translation[0], fx->Translation[1], fx->Translation[2]);
    glScaled(fx->EffectScale[0], fx->EffectScale[1], fx->EffectScale[2]);
    glRotated(fx->RotationAngle, fx->RotationAxis[0], fx->RotationAxis[1], fx->RotationAxis[2]);
    fx->Draw(cameraYaw);
    glPopMatrix();
  }
  glDepthMask(GL_TRUE);
}

void TPartikel::AdvanceAndDraw(int32_t slot, int32_t ms, float cameraYaw) {
  std::lock_guard<std::mutex> guard(lock);
  TExampleFX* fx = EffectAt(slot);
  if (!fx) return;
  if (!fx->Texture) fx->Texture = TextureFor(fx->Settings.TexPath);
  fx->Active = true;
  fx->Update(ms);
  fx->Draw(cameraYaw);
  fx->Active = false;
}
