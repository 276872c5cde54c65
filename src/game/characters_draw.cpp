// Drawing every character, and the GL object the list owns.
#include "core/gl_api.h"
#include "game/characters.h"

TCharacters::~TCharacters() {
  if (SphereQuadric) gluDeleteQuadric(static_cast<GLUquadric*>(SphereQuadric));
}

void TCharacters::DrawAll(int32_t camMode) {
  const int32_t viewed = Spectator.View(*this).CharacterId;
  for (int32_t i = 0; i < Count; ++i)
    if (TCharacter* c = At(i)) c->Draw(camMode, i == viewed);
}
