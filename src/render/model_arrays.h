// A model's faces laid out for vertex arrays: one corner per face vertex
// (normals belong to corners, not vertices), in draw order, and the runs of
// faces drawn under one material, each a single draw call. Laying out needs
// no OpenGL; model_draw.cpp hands the result to it.
#pragma once
#include <cstdint>
#include <vector>

#include "render/model.h"

struct TModelCorner {
  TVec3 Position;
  TVec3 Normal;
  TTexCoord Uv;
  // The second texture unit's: Uv shifted towards the light at the origin
  // under a bump material, else Uv.
  TTexCoord SecondUv;
};
static_assert(sizeof(TModelCorner) == 40, "the vertex array strides assume packed floats");

struct TModelRun {
  uint32_t First = 0, Count = 0;  // corners
  // Applied before the run; NoMaterial (only ever the first run) draws with
  // the state found.
  uint16_t Material = T3dsMesh::NoMaterial;
};

struct TModelArrays {
  std::vector<TModelCorner> Corners;
  std::vector<TModelRun> Runs;
};

// The meshes in DrawOrder. A face naming no material (or one past the list)
// keeps the material before it, also across meshes, so it joins that run, and
// so does a mesh without material groups.
TModelArrays LayOutModel(const TAll3dsMesh& model);
