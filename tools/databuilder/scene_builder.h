// Building 3DS scenes from solids: boxes, wedges, stairs and grids with
// planar texture coordinates, faces wound counter-clockwise seen from outside
// (the game culls back faces). Faces are grouped per material and meshes are
// split before they reach the format's 65535-vertex limit.
#pragma once
#include "render/model_3ds_writer.h"

#include <functional>
#include <map>
#include <string>

struct TV3 {
  float x = 0, y = 0, z = 0;
};
TV3 operator+(TV3 a, TV3 b);
TV3 operator-(TV3 a, TV3 b);
TV3 operator*(TV3 a, float f);

class TSceneBuilder {
 public:
  // tileSize: world units per texture repeat for the planar mapping.
  void AddMaterial(const std::string& name, const std::string& textureFile, float tileSize, TColor3 diffuse = {0.9f, 0.9f, 0.9f});
  void AddMaterial(const std::string& name, TColor3 diffuse);  // plain colour, no texture

  void Triangle(const std::string& material, TV3 a, TV3 b, TV3 c);
  // a, b, c, d counter-clockwise seen from the front.
  void Quad(const std::string& material, TV3 a, TV3 b, TV3 c, TV3 d);
  // As Quad with explicit texture coordinates per corner.
  void Quad(const std::string& material, TV3 a, TV3 b, TV3 c, TV3 d, const TTexCoord uv[4]);
  // A box whose every face shows the whole texture once (crates).
  void TexturedBox(const std::string& material, TV3 min, TV3 max, bool bottom = true);
  // Axis-aligned box; bottom face left out when `bottom` is false.
  void Box(const std::string& material, TV3 min, TV3 max, bool bottom = true);
  // A box whose top face has its own material.
  void Box(const std::string& sides, const std::string& top, TV3 min, TV3 max, bool bottom = true);
  // Solid wedge along +x or -x/+z/-z: the top rises from `min.y` at the low
  // end to `max.y` at the high end. dir: 0 +x, 1 -x, 2 +z, 3 -z (towards the high end).
  void Ramp(const std::string& material, TV3 min, TV3 max, int dir);
  // Steps from `min.y` up to `max.y` in the given direction (as Ramp).
  void Stairs(const std::string& material, TV3 min, TV3 max, int dir, int steps);
  // A height field over x, z in [x0, x1] x [z0, z1], n x n cells.
  void Grid(const std::string& material, float x0, float z0, float x1, float z1, int n,
            const std::function<float(float, float)>& height);
  // Transformed copy placement for models: everything added while the
  // transform is set is rotated about y by `yawDegrees` and moved by `offset`.
  void SetTransform(TV3 offset, float yawDegrees);

  size_t TriangleCount() const { return triangles; }
  // Every triangle with its material's diffuse colour, for previews.
  void ForEachTriangle(const std::function<void(const TVec3* corners, TColor3 colour)>& visit) const;
  T3dsScene Scene(const std::string& meshPrefix) const;

 private:
  struct TMat {
    T3dsSceneMaterial Material;
    float Tile = 1;
    bool Textured = false;
  };
  struct TPending {
    std::vector<TVec3> Vertices;
    std::vector<TTexCoord> TexCoords;
    std::vector<std::array<uint16_t, 3>> Faces;
  };
  TV3 Apply(TV3 p) const;
  TTexCoord Uv(const TMat& m, TV3 p, TV3 n) const;
  void Emit(const std::string& material, TV3 a, TV3 b, TV3 c, const TTexCoord* uv);

  std::vector<std::string> order;  // material names in the order added
  std::map<std::string, TMat> materials;
  std::map<std::string, std::vector<TPending>> meshes;
  TV3 offset;
  float cosYaw = 1, sinYaw = 0;
  size_t triangles = 0;
};
