// The particles of one emitter: a fixed array whose live particles sit at the
// front. Dead particles are dropped only when the array is full, so nothing is
// allocated after creation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct TParticle {
  float X = 0, Y = 0, Z = 0;
  float VelX = 0, VelY = 0, VelZ = 0;  // units per second
  float Red = 0, Green = 0, Blue = 0;
  int32_t Life = 0;  // ms left
  int32_t Age = 0;   // ms lived
};

class TPfxContainer {
 public:
  // capacity is clamped to 2 .. kMaxParticles; at most capacity - 1 live.
  explicit TPfxContainer(int32_t capacity);

  // Appends p. When the array is full the dead are compacted away first; if
  // it is still full, p takes the spare last place and is overwritten by the
  // next push (the newest particle is not kept).
  void Push(const TParticle& p);
  // Moves the particles with life left to the front, in order.
  void Compact();
  // Advances the live particles by ms.
  void Move(int32_t ms);

  int32_t Count() const { return count; }
  int32_t Capacity() const { return static_cast<int32_t>(particles.size()); }
  const TParticle& operator[](int32_t i) const { return particles[static_cast<size_t>(i)]; }

 private:
  std::vector<TParticle> particles;
  int32_t count = 0;
  // Set when a particle may have died since the last compaction (a Move, or
  // a push of a dead one). Without it a full container would scan its whole
  // array for every particle pushed and find nothing to drop.
  bool maybeDead = false;
};
