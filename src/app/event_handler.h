// Turns input events into game and GUI actions and drives everything that
// runs on a clock (movement steps, key repeat, caret blink, network timers).
#pragma once
#include <cstdint>

#include "core/platform_events.h"
#include "net/network_timers.h"

class TEventHandler : public TPlatformEvents {
 public:
  TEventHandler();  // becomes the platform layer's EventSink
  ~TEventHandler() override;

  void Tick();
  void KeyDown(const TKeySym& key) override;
  void KeyUp(const TKeySym& key) override;
  void MouseMotion(uint16_t x, uint16_t y) override;
  void MouseDown(uint8_t button, uint16_t x, uint16_t y) override;
  void MouseUp(uint8_t button, uint16_t x, uint16_t y) override;
  // New window size: screen size and centre, then (once start-up is done) the
  // GUI layout and the render-pass textures.
  void Resize(int32_t width, int32_t height) override;
  void Quit() override;
  // F11: prints the level triangle the local player aims at.
  void Pick();

  uint32_t Now = 0;
  uint32_t LastInput = 0;
  bool FireHeld = false;
  bool KeyHeld = false;
  uint32_t LastKeyRepeat = 0;
  uint32_t LastCaretBlink = 0;
  uint32_t LastHealthBroadcast = 0;
  TNetworkTimers NetTimers;  // positions, states and keep-alive, shared with the dedicated server
  uint32_t LastStatisticsUpdate = 0;  // the score table, every 3 s in game
  uint32_t LastTick = 0;
  // The local player's reload and death times live with the characters
  // (TCharacters::ReloadStart, DeathTime), whose rules set them.
};

// Degrees one mouse motion of delta pixels turns the view by (mouse look).
double MouseTurn(int32_t delta, double speed, double acceleration);

// Created by Tgame::Run after SDLUnit and freed in its teardown; null outside.
extern TEventHandler* EventHandler;
