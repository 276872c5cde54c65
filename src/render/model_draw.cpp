// The OpenGL side of models: material textures, material state with
// multitexture and the bump offset, drawing the laid-out faces from vertex
// arrays, and the release of GL names.
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "core/convert.h"
#include "core/gl_api.h"
#include "core/paths.h"
#include "render/model.h"
#include "render/model_arrays.h"
#include "render/model_bytes.h"

T3dsMaterial::~T3dsMaterial() {
  if (HasTexture && TextureId != 0) glDeleteTextures(1, &TextureId);
}

// A material without a texture map but with an opacity or bump map draws its
// colour through a white picture of that map's size.
static bool LoadImage(TglBitmap2D& bitmap, const std::string& textureDir, const std::string& name,
                      bool addAlpha) {
  std::string path = HostPath(LowerCase(textureDir + name));
  try {
    if (addAlpha)
      bitmap.AddAlphaFromFile(path);
    else
      bitmap.LoadFromFile(path);
    return true;
  } catch (const std::exception& e) {
    ModelLog(std::string("Texture of a model: ") + e.what());
    return false;
  }
}

void T3dsMaterial::LoadTextures(const std::string& textureDir) {
  auto whiteFrom = [&](const std::string& name) {
    Texture = std::make_unique<TglBitmap2D>();
    LoadImage(*Texture, textureDir, name, false);
    Texture->FillWhite(Texture->Width, Texture->Height);
    HasTexture = true;
  };
  if (HasTexture) {
    Texture = std::make_unique<TglBitmap2D>();
    LoadImage(*Texture, textureDir, TextureName, false);
  }
  if (HasOpacity) {
    if (!Texture) whiteFrom(OpacityName);
    Alpha = 1;
    Texture->InvertAlpha();
  }
  if (HasBump) {
    if (!Texture) whiteFrom(BumpName);
    if (!Texture->Data.empty()) LoadImage(*Texture, textureDir, BumpName, true);
  }
  if (HasTexture && !Texture->Data.empty()) {
    // Data holds the top row first; OpenGL wants the bottom row first.
    Texture->FlipVertical();
    Texture->GenTexture();
    TextureId = Texture->TextureId;
    // The material owns the name from here on and deletes it once.
    Texture->DeleteTextureOnFree = false;
  }
}

static void ActiveUnit(GLenum unit) {
  if (glext::ActiveTextureARB) glext::ActiveTextureARB(unit);
}

static void TexEnv(std::initializer_list<std::pair<GLenum, GLint>> settings) {
  for (const auto& [name, value] : settings) glTexEnvi(GL_TEXTURE_ENV, name, value);
}

namespace {

// The material's colours, culling and, on a model with textures, texture
// units.
void ApplyMaterial(const T3dsMaterial& m, bool texturedModel) {
  GLfloat ambient[4] = {m.Ambient.r, m.Ambient.g, m.Ambient.b, 1};
  if (!m.HasAmbient) {
    ambient[0] = m.Diffuse.r / 2;
    ambient[1] = m.Diffuse.g / 2;
    ambient[2] = m.Diffuse.b / 2;
  }
  GLfloat diffuse[4] = {m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Alpha};
  GLfloat specular[4] = {m.Specular.r, m.Specular.g, m.Specular.b, 1};
  GLfloat emission[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 1);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
  if (m.TwoSided)
    glDisable(GL_CULL_FACE);
  else
    glEnable(GL_CULL_FACE);
  // An untextured material draws with the texture state the model found;
  // so does one whose texture could not be loaded. On a software renderer
  // every texture state change is a new fragment state, so a model without
  // textures never touches it.
  if (!texturedModel) return;
  // Each material's texture state replaces the previous one's; the model's
  // draw holds the outer level.
  glPopAttrib();
  glPushAttrib(GL_TEXTURE_BIT);
  if (!m.HasTexture || m.TextureId == 0) return;
  bool multitexture = glext::ActiveTextureARB != nullptr;
  auto bindOn = [&](GLenum unit) {
    ActiveUnit(unit);
    glEnable(GL_TEXTURE_2D);
    m.Texture->Bind();
  };
  bindOn(GL_TEXTURE0_ARB);
  glDisable(GL_ALPHA_TEST);
  if (m.HasOpacity) {
    glEnable(GL_ALPHA_TEST);
    if (multitexture) bindOn(GL_TEXTURE1_ARB);
  }
  if (m.HasBump) {
    glBlendFunc(GL_SRC_ALPHA, m.Alpha != 1 ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO);
    ActiveUnit(GL_TEXTURE0_ARB);
    TexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB},
            {GL_COMBINE_RGB_ARB, GL_MODULATE},
            {GL_SOURCE0_RGB_ARB, GL_TEXTURE},
            {GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB},
            {GL_COMBINE_ALPHA_ARB, GL_REPLACE},
            {GL_SOURCE0_ALPHA_ARB, GL_TEXTURE}});
    if (multitexture) {
      bindOn(GL_TEXTURE1_ARB);
      TexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB},
              {GL_COMBINE_RGB_ARB, GL_REPLACE},
              {GL_SOURCE0_RGB_ARB, GL_PREVIOUS_ARB},
              {GL_COMBINE_ALPHA_ARB, GL_ADD_SIGNED_ARB},
              {GL_SOURCE0_ALPHA_ARB, GL_TEXTURE},
              {GL_OPERAND0_ALPHA_ARB, GL_ONE_MINUS_SRC_ALPHA},
              {GL_SOURCE1_ALPHA_ARB, GL_PREVIOUS_ARB},
              {GL_OPERAND1_ALPHA_ARB, GL_SRC_ALPHA}});
    }
  }
  // Texture uploads elsewhere expect unit 0 to be the active one.
  ActiveUnit(GL_TEXTURE0_ARB);
}

// The second unit's coordinates matter only where a material puts a texture
// on it (opacity and bump maps).
void SecondUnitCoords(bool on, const TModelCorner* corners) {
  glext::ClientActiveTextureARB(GL_TEXTURE1_ARB);
  if (on) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TModelCorner), &corners->SecondUv);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  glext::ClientActiveTextureARB(GL_TEXTURE0_ARB);
}

void DrawRuns(const TAll3dsMesh& model, const TModelArrays& arrays) {
  if (arrays.Runs.empty()) return;
  const bool textured = std::any_of(model.Materials.begin(), model.Materials.end(),
                                    [](const auto& m) { return m->HasTexture && m->TextureId != 0; });
  const bool secondUnit = textured && glext::ActiveTextureARB && glext::ClientActiveTextureARB;
  // Every material swaps the texture state it finds for its own (pop, then
  // push); this outer pair gives the first one something to pop and leaves
  // the caller's texture state as it was.
  if (textured) glPushAttrib(GL_TEXTURE_BIT);
  const TModelCorner* corners = arrays.Corners.data();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(TModelCorner), &corners->Position);
  glNormalPointer(GL_FLOAT, sizeof(TModelCorner), &corners->Normal);
  glTexCoordPointer(2, GL_FLOAT, sizeof(TModelCorner), &corners->Uv);
  if (secondUnit) SecondUnitCoords(true, corners);
  for (const TModelRun& run : arrays.Runs) {
    if (run.Material < model.Materials.size()) ApplyMaterial(*model.Materials[run.Material], textured);
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(run.First), static_cast<GLsizei>(run.Count));
  }
  if (secondUnit) SecondUnitCoords(false, corners);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (textured) glPopAttrib();
}

}  // namespace

void TAll3dsMesh::Draw() const {
  if (Prepared)
    DrawRuns(*this, *Prepared);
  else
    DrawRuns(*this, LayOutModel(*this));
}
