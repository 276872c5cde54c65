// Small builders for model tests: raw 3DS chunks (for files no writer would
// produce), little-endian fields, and loading without OpenGL.
#pragma once
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "core/logger.h"
#include "render/model.h"
#include "test_support.h"

inline std::string U16(uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; }
inline std::string U32(uint32_t v) { return U16(static_cast<uint16_t>(v)) + U16(static_cast<uint16_t>(v >> 16)); }
inline std::string F32(float v) { return U32(std::bit_cast<uint32_t>(v)); }
inline std::string Cstr(const std::string& s) { return s + std::string(1, '\0'); }

// A chunk whose length field is right unless one is given.
inline std::string Chunk(uint16_t id, const std::string& body, int64_t length = -1) {
  return U16(id) + U32(length < 0 ? static_cast<uint32_t>(body.size() + 6) : static_cast<uint32_t>(length)) + body;
}

inline std::string VertexChunk(const std::vector<TVec3>& vertices) {
  std::string body = U16(static_cast<uint16_t>(vertices.size()));
  for (const TVec3& v : vertices) body += F32(v.x) + F32(v.y) + F32(v.z);
  return Chunk(0x4110, body);
}

inline std::string FaceChunk(const std::vector<std::vector<uint16_t>>& faces, const std::string& subChunks = "") {
  std::string body = U16(static_cast<uint16_t>(faces.size()));
  for (const auto& f : faces) body += U16(f[0]) + U16(f[1]) + U16(f[2]) + U16(0);
  return Chunk(0x4120, body + subChunks);
}

inline std::string ObjectChunk(const std::string& name, const std::string& triangleBody) {
  return Chunk(0x4000, Cstr(name) + Chunk(0x4100, triangleBody));
}

inline std::string Main3ds(const std::string& meshData, const std::string& after = "") {
  return Chunk(0x4D4D, Chunk(0x0002, U32(3)) + Chunk(0x3D3D, meshData) + after);
}

// A model loaded from bytes through its extension, without building textures.
inline void LoadModelBytes(TAll3dsMesh& model, const TempDir& dir, const std::string& name, const std::string& bytes) {
  WriteFile(dir / name, bytes);
  model.BuildTextures = false;
  model.LoadFromFile(dir / name);
}

// The game's logger pointed, for the life of this object, at a log of its
// own: test processes running side by side share the default log directory.
class TCapturedLog {
 public:
  TCapturedLog() : saved(Logger), own(dir.Path()) { Logger = &own; }
  ~TCapturedLog() { Logger = saved; }
  std::string Text() {
    own.Flush();
    return ReadFile(own.LogPath());
  }

 private:
  TempDir dir;
  TLogger* saved;
  TLogger own;
};
