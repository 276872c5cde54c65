// Effect slots, settings and the timer step of the particle system.
#include "fx/partikel.h"

#include "core/logger.h"

TPartikel* Partikel = nullptr;

TPartikel::TPartikel(bool withTimer) : withTimer(withTimer) {
  effects.resize(2);
  if (withTimer) InitTimerSubsystem();
}

TPartikel::~TPartikel() {
  if (withTimer) StopTimer();
}

void TPartikel::Load() {
  std::array<TFXSettings, 2> read = {ReadFXSettings("data\\particles\\bluefire.ini"),
                                     ReadFXSettings("data\\particles\\winampeffekt.ini")};
  std::lock_guard<std::mutex> guard(lock);
  settings = read;
  highSlot = 0;
  effects.clear();
  effects.resize(2);
  used.fill(false);
}

int32_t TPartikel::AddEffect(int32_t settingsIndex, int32_t lifetime, double x, double y, double z,
                             double scaleX, double scaleY, double scaleZ, double axisX, double axisY,
                             double axisZ, double angle) {
  if (settingsIndex < 0 || settingsIndex >= static_cast<int32_t>(settings.size())) {
    if (Logger) Logger->LogError("No particle settings " + std::to_string(settingsIndex), "Partikel");
    return -1;
  }
  int32_t slot = -1;
  {
    std::lock_guard<std::mutex> guard(lock);
    for (int32_t i = highSlot; i >= 0 && slot < 0; --i)
      if (!used[static_cast<size_t>(i)]) slot = i;
    if (slot < 0) {
      if (highSlot + 1 >= kSlots) {
        if (Logger) Logger->LogError("All " + std::to_string(kSlots) + " particle effect slots are taken", "Partikel");
        return -1;
      }
      slot = ++highSlot;
    }
    if (static_cast<size_t>(slot) >= effects.size()) effects.resize(static_cast<size_t>(slot) + 1);
    auto fx = std::make_unique<TExampleFX>(settings[static_cast<size_t>(settingsIndex)]);
    fx->Update(kTickMs);
    fx->Translation[0] = x;
    fx->Translation[1] = y;
    fx->Translation[2] = z;
    fx->EffectScale[0] = scaleX;
    fx->EffectScale[1] = scaleY;
    fx->EffectScale[2] = scaleZ;
    fx->RotationAxis[0] = axisX;
    fx->RotationAxis[1] = axisY;
    fx->RotationAxis[2] = axisZ;
    fx->RotationAngle = angle;
    fx->Lifetime = lifetime;
    effects[static_cast<size_t>(slot)] = std::move(fx);
    used[static_cast<size_t>(slot)] = true;
  }
  // Outside the lock: a tick waiting for it would otherwise hold up the
  // timer's removal.
  if (withTimer) RestartTimer();
  return slot;
}

TExampleFX* TPartikel::EffectAt(int32_t slot) {
  if (slot < 0 || slot > highSlot || !used[static_cast<size_t>(slot)]) return nullptr;
  return effects[static_cast<size_t>(slot)].get();
}

void TPartikel::RemoveEffect(int32_t slot) {
  std::lock_guard<std::mutex> guard(lock);
  if (slot >= 0 && slot <= highSlot) used[static_cast<size_t>(slot)] = false;
}

void TPartikel::RestartEffect(int32_t slot) {
  WithEffect(slot, [](TExampleFX& fx) { fx.Age = 0; });
}

void TPartikel::RestartEffectAt(int32_t slot, double x, double y, double z) {
  WithEffect(slot, [&](TExampleFX& fx) {
    fx.Translation[0] = x;
    fx.Translation[1] = y;
    fx.Translation[2] = z;
    fx.Age = 0;
    fx.Active = true;
  });
}

void TPartikel::StopEffect(int32_t slot) {
  WithEffect(slot, [](TExampleFX& fx) {
    fx.Active = false;
    fx.Age = fx.Lifetime;
  });
}

void TPartikel::SwitchAllOff() {
  std::lock_guard<std::mutex> guard(lock);
  for (int32_t i = 0; i <= highSlot; ++i) used[static_cast<size_t>(i)] = false;
}

uint32_t TPartikel::TimerTick() {
  std::lock_guard<std::mutex> guard(lock);
  for (int32_t i = 0; i <= highSlot; ++i)
    if (TExampleFX* fx = EffectAt(i)) fx->Update(kTickMs);
  return kTickMs;
}

int32_t TPartikel::HighSlot() const {
  std::lock_guard<std::mutex> guard(lock);
  return highSlot;
}

bool TPartikel::Used(int32_t slot) const {
  std::lock_guard<std::mutex> guard(lock);
  return slot >= 0 && slot < kSlots && used[static_cast<size_t>(slot)];
}

TFXSettings TPartikel::Settings(int32_t index) const {
  std::lock_guard<std::mutex> guard(lock);
  return settings.at(static_cast<size_t>(index));
}

bool TPartikel::WithEffect(int32_t slot, const std::function<void(TExampleFX&)>& f) {
  std::lock_guard<std::mutex> guard(lock);
  TExampleFX* fx = EffectAt(slot);
  if (fx) f(*fx);
  return fx != nullptr;
}
