// Drawing every character, and the GL object the list owns.
#include "core/gl_api.h"
#include "game/characters.h"

TCharacters::~TCharacters() {
  if (SphereQuadric) gluDeleteQuadric(static_cast<GLUquadric*>(SphereQuadric));
}

void TCharacters::DrawAll(int32_t camMode) {
  // Figures and weapons show their materials under the level's light. The
  // level ends with lighting off and its last texture bound, which a model
  // without textures would otherwise wear (white, in a crate's planks).
  glPushAttrib(GL_ENABLE_BIT);
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  const int32_t viewed = Spectator.View(*this).CharacterId;
  for (int32_t i = 0; i < Count; ++i)
    if (TCharacter* c = At(i)) c->Draw(camMode, i == viewed);
  glPopAttrib();
}
