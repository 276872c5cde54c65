// The particle timer on SDL's timer thread.
//
// SDL_RemoveTimer does not wait for a callback that is already running, so
// the callback does not reach the TPartikel directly: it goes through a
// binding whose lock it holds while ticking. Stopping clears the binding
// under that lock, after which no tick can reach the old owner. The lock
// order is binding, then the effects' lock; nothing takes them the other way.
#include "core/logger.h"
#include "fx/partikel.h"

#include <SDL/SDL.h>

namespace {

struct TTimerBinding {
  std::mutex lock;
  TPartikel* target = nullptr;
  SDL_TimerID timer = nullptr;
};

// Never destroyed: a tick may still be on its way in while the program's
// statics are torn down.
TTimerBinding& Binding() {
  static TTimerBinding* binding = new TTimerBinding();
  return *binding;
}

Uint32 Tick(Uint32 interval, void*) {
  TTimerBinding& b = Binding();
  std::lock_guard<std::mutex> guard(b.lock);
  return b.target ? b.target->TimerTick() : interval;
}

}  // namespace

void TPartikel::InitTimerSubsystem() {
  if (SDL_InitSubSystem(SDL_INIT_TIMER) < 0 && Logger)
    Logger->LogError(std::string("SDL timer start failed: ") + SDL_GetError(), "Partikel");
}

void TPartikel::RestartTimer() {
  TTimerBinding& b = Binding();
  std::lock_guard<std::mutex> guard(b.lock);
  if (b.timer) SDL_RemoveTimer(b.timer);
  b.target = this;
  b.timer = SDL_AddTimer(kTickMs, Tick, nullptr);
  if (!b.timer && Logger) Logger->LogError(std::string("Particle timer failed: ") + SDL_GetError(), "Partikel");
}

void TPartikel::StopTimer() {
  TTimerBinding& b = Binding();
  std::lock_guard<std::mutex> guard(b.lock);
  if (b.target != this) return;
  if (b.timer) SDL_RemoveTimer(b.timer);
  b.timer = nullptr;
  b.target = nullptr;
}
