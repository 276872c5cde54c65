// The game variables kept in "config.ini" under "game.gameVar" and
// "game.gameVar.Fog", and the seven key bindings. The game object carries
// them; the configuration reads and writes them without knowing that object.
#pragma once
#include <cstdint>

struct TKeyBinding {
  uint16_t Key = 0;   // SDL key symbol
  bool Held = false;  // true while the key is down
};

struct TGameSettings {
  double Speed = 0.5;
  int32_t Gravity = 100;
  int32_t CamMode = 0;
  TKeyBinding KeyForward, KeyBackward, KeyLeft, KeyRight, KeyJump, KeyMenu, KeyCamera;
  int32_t CamCount = 3;
  float FogColor[4] = {1, 1, 1, 1};  // red, green, blue, alpha
  double FogStart = 10.0, FogEnd = 100.0, FogDensity = 0.01;
  int32_t FogMode = 1;
  bool FogEnabled = false;
};
