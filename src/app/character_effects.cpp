// Particle effects for the characters.
#include "app/character_effects.h"

#include "app/camera.h"
#include "fx/partikel.h"

namespace {
class TParticleEffects : public TCharacterEffects {
 public:
  TParticleEffects()
      : death(Partikel->AddEffect(1, 3000, 0, 0, 0, 5, 5, 5, 1, 1, 1, 0)),
        muzzle(Partikel->AddEffect(1, 300, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0)) {
    // A new effect plays at once where it stands: without this every level
    // would open with a burst and a flash at the origin.
    Partikel->StopEffect(death);
    Partikel->StopEffect(muzzle);
  }
  ~TParticleEffects() override {
    // The level's end may already have freed every slot (SwitchAllOff);
    // removing a free slot is ignored.
    if (!Partikel) return;
    Partikel->RemoveEffect(muzzle);
    Partikel->RemoveEffect(death);
  }
  void Death(const TVec3& where) override { Partikel->RestartEffectAt(death, where.x, where.y, where.z); }
  void RestartMuzzleFlash() override { Partikel->RestartEffect(muzzle); }
  void DrawMuzzleFlash() override { Partikel->AdvanceAndDraw(muzzle, 25, Cam ? Cam->Yaw : 0.0f); }

 private:
  int32_t death, muzzle;
};
}  // namespace

std::unique_ptr<TCharacterEffects> MakeParticleEffects() {
  if (!Partikel) return nullptr;
  return std::make_unique<TParticleEffects>();
}
