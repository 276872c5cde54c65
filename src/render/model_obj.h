// Wavefront OBJ (with its MTL material library) to a 3DS scene, so that the
// game's models can be made in any modelling program and written with
// Save3ds. What is taken:
//   OBJ: v, vt, f (v, v/vt, v/vt/vn, v//vn; negative indices count back;
//        polygons become triangle fans), o and g (a new mesh), usemtl,
//        mtllib. Normals are not needed: the game computes its own.
//   MTL: newmtl, Ka, Kd, Ks, d or Tr (transparency), map_Kd (texture),
//        map_d (opacity map), map_bump or bump (bump map, 100 %).
// A mesh with more than 65535 distinct vertex/texture pairs or faces is
// split into several. Materials used but not defined become plain grey ones.
#pragma once
#include <stdexcept>
#include <string>

#include "render/model_3ds_writer.h"

class EObjImportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads objPath and the material libraries it names (relative to its
// directory). Throws EObjImportError naming the file and line, or
// EFileOpenError when the OBJ file cannot be read.
T3dsScene ImportObj(const std::string& objPath);
// The same from text; material libraries are looked up in baseDir.
T3dsScene ImportObjText(const std::string& objText, const std::string& baseDir, const std::string& sourceName);
