// The characters' blood burst and muzzle flash as particle effects: the game
// rules ask for effects through GameHooks.MakeEffects, and this is the maker
// the driver installs.
#pragma once
#include <memory>

#include "game/game_hooks.h"

// A death effect and a muzzle flash from the particle system's settings
// record 1, put out until first used, released with the characters. Null
// when no particle system exists.
std::unique_ptr<TCharacterEffects> MakeParticleEffects();
