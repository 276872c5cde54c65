// What the event pump hands on. The platform layer knows only this interface;
// the game's event handler implements it and registers itself as the sink
// while it exists, so the bottom layer never reaches up into the game.
#pragma once
#include <cstdint>

// What the platform layer hands over for a key event.
struct TKeySym {
  uint8_t ScanCode = 0;
  uint16_t Symbol = 0;   // SDL key symbol
  uint16_t Modifiers = 0;
  uint16_t Unicode = 0;
};

class TPlatformEvents {
 public:
  virtual ~TPlatformEvents() = default;
  virtual void KeyDown(const TKeySym& key) = 0;
  virtual void KeyUp(const TKeySym& key) = 0;
  virtual void MouseMotion(uint16_t x, uint16_t y) = 0;
  virtual void MouseDown(uint8_t button, uint16_t x, uint16_t y) = 0;
  virtual void MouseUp(uint8_t button, uint16_t x, uint16_t y) = 0;
  // New window size, before the platform layer sets the viewport.
  virtual void Resize(int32_t width, int32_t height) = 0;
  // The window was closed.
  virtual void Quit() = 0;
};

// Where the pump and the window's first resize deliver events: the event
// handler from its creation to its destruction; null otherwise, when events
// are read and dropped.
extern TPlatformEvents* EventSink;
