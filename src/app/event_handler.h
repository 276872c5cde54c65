// Turns input events into game and GUI actions and drives everything that
// runs on a clock (movement steps, key repeat, caret blink, network timers).
// Subsystems that are not there yet join their steps here as they arrive.
#pragma once
#include <cstdint>

#include "core/platform_events.h"

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

  uint32_t Now = 0;
  uint32_t LastInput = 0;
  bool FireHeld = false;
  bool KeyHeld = false;
  uint32_t LastKeyRepeat = 0;
  uint32_t LastCaretBlink = 0;
  uint32_t LastPositionSend = 0;
  uint32_t LastStateSend = 0;
  uint32_t LastHealthBroadcast = 0;
  uint32_t LastKeepAlive = 0;
  uint32_t ReloadStart = 0;
  uint32_t LastTick = 0;
  uint32_t DeathTime = 0;
};

// Created by Tgame::Run after SDLUnit and freed in its teardown; null outside.
extern TEventHandler* EventHandler;
