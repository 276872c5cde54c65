// Particle storage of one emitter.
#include "fx/particle_container.h"

#include "fx/particle_settings.h"

#include <algorithm>

TPfxContainer::TPfxContainer(int32_t capacity)
    : particles(static_cast<size_t>(std::clamp(capacity, int32_t{2}, kMaxParticles))) {}

void TPfxContainer::Push(const TParticle& p) {
  if (count + 1 == Capacity()) Compact();
  particles[static_cast<size_t>(count)] = p;
  if (p.Life <= 0) maybeDead = true;
  if (count < Capacity() - 1) ++count;
}

void TPfxContainer::Compact() {
  if (!maybeDead) return;
  int32_t kept = 0;
  for (int32_t i = 0; i < count; ++i)
    if (particles[static_cast<size_t>(i)].Life > 0) particles[static_cast<size_t>(kept++)] = particles[static_cast<size_t>(i)];
  count = kept;
  maybeDead = false;
}

void TPfxContainer::Move(int32_t ms) {
  const float seconds = static_cast<float>(ms) / 1000;
  for (int32_t i = 0; i < count; ++i) {
    TParticle& p = particles[static_cast<size_t>(i)];
    // The dead wait for the next compaction untouched, so their counters
    // cannot run out of range however long an effect plays.
    if (p.Life <= 0) continue;
    p.X += p.VelX * seconds;
    p.Y += p.VelY * seconds;
    p.Z += p.VelZ * seconds;
    p.Life -= ms;
    p.Age += ms;
    if (p.Life <= 0) maybeDead = true;
  }
}
