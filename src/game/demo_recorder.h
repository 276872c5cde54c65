// Recording a demo of the running level: the console's "record <name>" on a
// client, a listen server or a dedicated server. A client records what its
// session receives; a server what it sends to every client plus the position
// of every character, so both kinds play back through the same client rules.
// Either adds the recorder's own view once per frame.
#pragma once
#include <cstdint>
#include <string>

#include "net/demo_file.h"
#include "net/network.h"

class TCharacter;

class TDemoRecorder : public TSessionTap {
 public:
  // Creates path and writes the header and the state of the game so far;
  // the recorder then taps the session. False with the reason.
  bool Start(const std::string& path, std::string& error);
  void Message(const TNetMessage& message) override;
  void Datagram(const TDatagram& datagram) override;
  // Once per frame after the local player moved: its view, when it plays.
  void Frame();
  // Writes the end record and leaves the session. False when the file could
  // not be completed.
  bool Stop();

  std::string Path;
  uint64_t Bytes() const { return writer.BytesWritten(); }
  uint32_t Time() const;

 private:
  void WriteGameState();
  TDemoWriter writer;
  uint32_t start = 0;
  mutable uint32_t last = 0;
};

// Per recording: made by StartRecording and freed by StopRecording (which
// the level's end calls); null while nothing is recorded.
extern TDemoRecorder* DemoRecorder;

// "demos/<name>.dem" in the user's data directory, the name in lower case,
// for a plain name (letters, digits, '-', '_', at most 64); "" for any other.
std::string DemoFilePath(const std::string& name);
// Where "demo <name>" finds a demo: a file of that path, the user's demo of
// that name, else the one shipped in data/demos/. "" when none exists.
std::string FindDemo(const std::string& name);
// The console commands: each tells what it did in one line.
std::string StartRecording(const std::string& name);
std::string StopRecording();
// The character a demo is seen through: the local player while it plays,
// else the first in play (a dedicated server's).
int32_t DemoEyes();
