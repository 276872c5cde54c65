// Drawing the octree: per-node display lists or immediate mode, material
// state changes kept to what differs, node boxes, and the GL objects' lifetime.
#include "core/gl_api.h"
#include "world/frustum.h"
#include "world/level_loaders.h"
#include "world/octree.h"

#include <cstring>

TOctree::~TOctree() { ReleaseGraphics(); }

void TOctree::ReleaseGraphics() {
  for (auto& node : Nodes)
    if (node->ListId) {
      glDeleteLists(node->ListId, 1);
      node->ListId = 0;
    }
  ListsBuilt = false;
  for (TOctreeMaterial& m : Materials)
    if (m.HasTexture && m.TextureId) {
      glDeleteTextures(1, &m.TextureId);
      m.TextureId = 0;
    }
}

void TOctree::LoadTextures() {
  for (TOctreeMaterial& m : Materials)
    if (m.HasTexture) LoadLevelTexture(TextureDir + m.TextureName, m.TextureId);
}

static bool SameColour(const float a[4], const float b[4]) { return std::memcmp(a, b, 4 * sizeof(float)) == 0; }

void TOctreeMaterial::Apply(TOctree& owner) const {
  if (owner.BatchOpen) glEnd();
  const TOctreeMaterial* current = owner.CurrentMaterial;
  if (!current || current->HasTexture != HasTexture) {
    if (HasTexture)
      glEnable(GL_TEXTURE_2D);
    else
      glDisable(GL_TEXTURE_2D);
  }
  if (HasTexture) glBindTexture(GL_TEXTURE_2D, TextureId);
  if (!current || current->TwoSided != TwoSided) {
    if (TwoSided)
      glDisable(GL_CULL_FACE);
    else
      glEnable(GL_CULL_FACE);
  }
  if (!current || !SameColour(current->Colour, Colour)) glColor4f(Colour[0], Colour[1], Colour[2], Colour[3]);
  if (!current || !SameColour(current->Ambient, Ambient)) glMaterialfv(GL_FRONT, GL_AMBIENT, Ambient);
  if (!current || !SameColour(current->Diffuse, Diffuse)) glMaterialfv(GL_FRONT, GL_DIFFUSE, Diffuse);
  if (!current || !SameColour(current->Specular, Specular)) glMaterialfv(GL_FRONT, GL_SPECULAR, Specular);
  if (!current || current->Shininess != Shininess) glMaterialf(GL_FRONT, GL_SHININESS, Shininess);
  if (!current || !SameColour(current->Emission, Emission)) glMaterialfv(GL_FRONT, GL_EMISSION, Emission);
  glBegin(GL_TRIANGLES);
  owner.BatchOpen = true;
}

void TNode::DrawTriangles(TOctree& owner) const {
  // A triangle whose material index has gone out of range (the list is
  // checked on load, but gameplay may change indices) draws with defaults.
  static const TOctreeMaterial kFallback;
  for (const TTriangle& t : Triangles) {
    const TOctreeMaterial& m = t.Material < owner.Materials.size() ? owner.Materials[t.Material] : kFallback;
    if (owner.CurrentMaterial != &m) {
      m.Apply(owner);
      owner.CurrentMaterial = &m;
    }
    for (const TVertex& v : t.Vertices) {
      glNormal3fv(&v.Normal.x);
      if (m.HasTexture) glTexCoord2fv(v.TexCoord);
      glVertex3fv(&v.Position.x);
    }
  }
}

void TOctree::BuildLists() {
  for (auto& node : Nodes) {
    node->ListId = glGenLists(1);
    glNewList(node->ListId, GL_COMPILE);
    // Every list starts with a full material setup, since lists are called
    // in any combination.
    BatchOpen = false;
    CurrentMaterial = nullptr;
    node->DrawTriangles(*this);
    if (BatchOpen) glEnd();
    glEndList();
  }
  BatchOpen = false;
  CurrentMaterial = nullptr;
  ListsBuilt = true;
}

void TNode::Render(TOctree& owner, const TFrustum& frustum, bool useLists) {
  if (!frustum.BoxVisible(Centre.x, Centre.y, Centre.z, HalfSize, HalfSize, HalfSize)) return;
  if (useLists)
    glCallList(ListId);
  else
    DrawTriangles(owner);
  if (!IsLeaf)
    for (TNode* child : Children) child->Render(owner, frustum, useLists);
}

void TNode::DrawBox(const TFrustum& frustum) const {
  if (!frustum.BoxVisible(Centre.x, Centre.y, Centre.z, HalfSize, HalfSize, HalfSize)) return;
  float lo[3] = {Centre.x - HalfSize, Centre.y - HalfSize, Centre.z - HalfSize};
  float hi[3] = {Centre.x + HalfSize, Centre.y + HalfSize, Centre.z + HalfSize};
  glBegin(GL_LINES);
  // Each of the twelve edges runs along one axis between two corners that
  // differ only in that axis.
  for (int axis = 0; axis < 3; ++axis)
    for (int other = 0; other < 4; ++other) {
      float a[3], b[3];
      int u = (axis + 1) % 3, w = (axis + 2) % 3;
      a[axis] = lo[axis];
      b[axis] = hi[axis];
      a[u] = b[u] = other & 1 ? hi[u] : lo[u];
      a[w] = b[w] = other & 2 ? hi[w] : lo[w];
      glVertex3fv(a);
      glVertex3fv(b);
    }
  glEnd();
  for (const TNode* child : Children) child->DrawBox(frustum);
}

void TOctree::Render(const TFrustum& frustum, bool drawLevel, bool showNodes) {
  glEnable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (drawLevel && Root) {
    if (!ListsBuilt) BuildLists();
    CurrentMaterial = nullptr;
    BatchOpen = false;
    Root->Render(*this, frustum, UseLists);
    if (BatchOpen) glEnd();
    BatchOpen = false;
  }
  if (showNodes && Root) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 0);
    Root->DrawBox(frustum);
  }
  glEnable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
}
