// Playing a demo through the client rules: the session becomes a client
// without sockets (whatever the rules send goes nowhere), and the recorded
// messages and datagrams enter where a live client's do. The recorder's own
// view places the local character. The clock is the player's: speed, pause,
// or, for a timedemo, a fixed step per drawn frame.
#pragma once
#include <cstdint>

#include "net/demo_file.h"
#include "net/network.h"

class TDemoPlayer {
 public:
  static constexpr double kMinSpeed = 0.25, kMaxSpeed = 4;
  // Demo time a timedemo frame moves on by, whatever the frame took: the
  // same frames on every machine.
  static constexpr double kTimedemoStepMs = 1000.0 / 60.0;

  TDemoPlayer(TNetwork& network, TDemo demo);
  // The session becomes the demo's client; the level's characters must exist.
  // A demo cut short says so on the console first.
  void Begin();
  // Moves the demo's clock on by ms of real time at Speed (nothing while
  // paused) and plays what falls before it.
  void Advance(uint32_t ms);
  // Plays every record up to `time` ms of the demo.
  void PlayUntil(double time);
  bool Finished() const { return finished; }
  // Another session took the network's place (the player joined or hosted a
  // game meanwhile): nothing more is played.
  bool Detached() const { return !session || network.Client.get() != session; }
  double Time() const { return clock; }
  const TDemo& Demo() const { return demo; }
  // Clamped to kMinSpeed..kMaxSpeed; a value that is not a number is refused.
  void SetSpeed(double speed);

  double Speed = 1;
  bool Paused = false;

 private:
  void Play(const TDemoRecord& record);
  void ApplyView(const TDemoView& view);
  TNetwork& network;
  TClient* session = nullptr;  // the client Begin made
  TDemo demo;
  size_t next = 0;
  double clock = 0;
  bool finished = false;
  bool seenView = false;
};
