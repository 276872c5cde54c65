// The OpenGL side of models: material textures, material state with
// multitexture and the bump offset, immediate-mode drawing, display lists and
// the release of GL names.
#include <cmath>
#include <initializer_list>
#include <utility>

#include "core/convert.h"
#include "core/gl_api.h"
#include "core/paths.h"
#include "render/model.h"
#include "render/model_bytes.h"
#include "render/skeleton.h"

T3dsMaterial::~T3dsMaterial() {
  if (HasTexture && TextureId != 0) glDeleteTextures(1, &TextureId);
}

TAll3dsMesh::~TAll3dsMesh() {
  if (ListId > 0) glDeleteLists(ListId, 1);
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

void T3dsMaterial::Apply() const {
  // Each material's texture state replaces the previous one's; the model's
  // Draw holds the outer level.
  glPopAttrib();
  glPushAttrib(GL_TEXTURE_BIT);
  GLfloat ambient[4] = {Ambient.r, Ambient.g, Ambient.b, 1};
  if (!HasAmbient) {
    ambient[0] = Diffuse.r / 2;
    ambient[1] = Diffuse.g / 2;
    ambient[2] = Diffuse.b / 2;
  }
  GLfloat diffuse[4] = {Diffuse.r, Diffuse.g, Diffuse.b, Alpha};
  GLfloat specular[4] = {Specular.r, Specular.g, Specular.b, 1};
  GLfloat emission[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 1);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
  bool multitexture = glext::ActiveTextureARB != nullptr;
  auto bindOn = [&](GLenum unit) {
    ActiveUnit(unit);
    glEnable(GL_TEXTURE_2D);
    Texture->Bind();
  };
  // A texture that could not be loaded leaves the colour to draw alone.
  bool textured = HasTexture && TextureId != 0;
  if (textured) {
    bindOn(GL_TEXTURE0_ARB);
    glDisable(GL_ALPHA_TEST);
    if (HasOpacity) {
      glEnable(GL_ALPHA_TEST);
      if (multitexture) bindOn(GL_TEXTURE1_ARB);
    }
    if (HasBump) {
      glBlendFunc(GL_SRC_ALPHA, Alpha != 1 ? GL_ONE_MINUS_SRC_ALPHA : GL_ZERO);
      ActiveUnit(GL_TEXTURE0_ARB);
      TexEnv({{GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB},
              {GL_COMBINE_RGB_ARB, GL_MODULATE},
              {GL_SOURCE0_RGB_ARB, GL_TEXTURE},
              {GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB},
              {GL_COMBINE_ALPHA_ARB, GL_REPLACE},
              {GL_SOURCE0_ALPHA_ARB, GL_TEXTURE}});
    }
  }
  if (HasBump && TextureId != 0 && multitexture) {
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
  // Texture uploads elsewhere expect unit 0 to be the active one.
  ActiveUnit(GL_TEXTURE0_ARB);
  if (TwoSided)
    glDisable(GL_CULL_FACE);
  else
    glEnable(GL_CULL_FACE);
}

static void TexCoordOnUnit(GLenum unit, float u, float v) {
  if (glext::MultiTexCoord2fARB)
    glext::MultiTexCoord2fARB(unit, u, v);
  else if (unit == GL_TEXTURE0_ARB)
    glTexCoord2f(u, v);
}

void T3dsMesh::Draw(const TAll3dsMesh& model) const {
  glPushMatrix();
  int current = -1;  // no material has this index
  const T3dsMaterial* material = nullptr;
  size_t faceCount = Faces.size();
  for (size_t f = 0; f < faceCount; ++f) {
    if (!FaceMaterials.empty() && FaceMaterials[f] != current) {
      current = FaceMaterials[f];
      // A face naming no material keeps the state it finds.
      if (static_cast<size_t>(current) < model.Materials.size()) {
        material = model.Materials[current].get();
        material->Apply();
      }
    }
    bool bump = !FaceMaterials.empty() && material && material->HasBump;
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) {
      uint16_t index = Indices[3 * f + k];
      const TVec3& vertex = Vertices[index];
      const TVec3& normal = Normals[NormalIndices[3 * f + k]];
      glNormal3f(normal.x, normal.y, normal.z);
      TTexCoord uv = TexCoords[index];
      TexCoordOnUnit(GL_TEXTURE0_ARB, uv.u, uv.v);
      if (bump) {
        // Shifted towards the light at the origin by the bump amount.
        TVec3 toLight = VecNormalize({-vertex.x, -vertex.y, -vertex.z});
        TexCoordOnUnit(GL_TEXTURE1_ARB, uv.u + toLight.x * material->BumpAmount,
                       uv.v + toLight.y * material->BumpAmount);
      } else {
        TexCoordOnUnit(GL_TEXTURE1_ARB, uv.u, uv.v);
      }
      glVertex3f(vertex.x, vertex.y, vertex.z);
    }
    glEnd();
  }
  glPopMatrix();
}

void TAll3dsMesh::Draw() const {
  if (ListId >= 1) {
    glCallList(ListId);
    return;
  }
  // Every material swaps the texture state it finds for its own (pop, then
  // push); this outer pair gives the first one something to pop and leaves
  // the caller's texture state as it was.
  glPushAttrib(GL_TEXTURE_BIT);
  for (int slot = 0; slot < MeshCount && slot < static_cast<int>(DrawOrder.size()); ++slot) {
    int index = DrawOrder[slot];
    if (index >= 0 && index < static_cast<int>(Meshes.size())) Meshes[index]->Draw(*this);
  }
  glPopAttrib();
}

void TAll3dsMesh::CompileList() {
  glPushMatrix();
  glLoadIdentity();
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  Draw();
  glEndList();
  ListId = list;
  glPopMatrix();
}
