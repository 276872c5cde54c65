// The OpenGL side of weapons: the model in the hand and the shop pictures.
#include "core/gl_api.h"
#include "core/logger.h"
#include "core/paths.h"
#include "game/weapons.h"
#include "render/model.h"
#include "render/textures.h"

void TWeapon::Draw() const {
  if (Mesh) Mesh->Draw();
}

void DeleteWeaponTexture(unsigned& texture) {
  if (texture != 0) glDeleteTextures(1, &texture);
  texture = 0;
}

// A missing picture is one log line; the texture loader's message box is
// kept for a picture that exists but cannot be read.
void LoadWeaponPicture(const std::string& dir, unsigned& texture) {
  const std::string file = dir + "graphic.jpg";
  if (!FileExists(HostPath(file))) {
    if (Logger) Logger->LogError("No shop picture: " + file, "UCharacters");
    return;
  }
  LoadTexture(file, texture);
}
