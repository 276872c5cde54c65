// What the sound objects ask of the audio library: buffers, sources and their
// settings. The OpenAL backend does it; the null backend, chosen at start when
// OpenAL or an audio device is missing, does nothing, so the game runs silent.
// Names are OpenAL's; 0 stands for no object.
#pragma once
#include <memory>
#include <stdexcept>
#include <string>

struct TWavData;

// An OpenAL call failed; the message is the fixed text of the operation
// ("Cannot create Buffer", ...).
class EOpenALError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The per-source values that TAlObject.Apply hands over.
struct TSourceSettings {
  float Pitch = 1;
  float Gain = 1;
  float Position[3] = {0, 0, 0};
  float Velocity[3] = {0, 0, 0};
  bool Looping = false;
  // Relative: the position is taken from the listener (the game's own sounds
  // sit at it); otherwise it is a place in the level, heard quieter with the
  // distance beyond ReferenceDistance.
  bool Relative = true;
  float ReferenceDistance = 1;
};

class TSoundBackend {
 public:
  virtual ~TSoundBackend() = default;
  // False for the null backend: nothing is created, read or played.
  virtual bool Audible() const = 0;
  // The four below throw EOpenALError with their operation's text.
  virtual unsigned CreateBuffer() = 0;                           // "Cannot create Buffer"
  virtual void DeleteBuffer(unsigned buffer) = 0;                // "Cannot delete Buffer"
  virtual void FillBuffer(unsigned buffer, const TWavData& wav) = 0;  // "Cannot assign wave data to buffer"
  virtual unsigned CreateSource() = 0;                           // "Cannot create Source"
  virtual void DeleteSource(unsigned source) = 0;                // "Cannot delete Source"
  // Buffer 0 detaches.
  virtual void AttachBuffer(unsigned source, unsigned buffer) = 0;
  virtual void ApplySettings(unsigned source, const TSourceSettings& settings) = 0;
  virtual void Play(unsigned source) = 0;
  virtual void Stop(unsigned source) = 0;
  // Where the listener stands, and its orientation: the direction it looks
  // at, then up.
  virtual void SetListener(const float (&)[3], const float (&)[6]) {}
};

struct TSoundOptions {
  // The shared library loaded at run time, so a machine without it still runs.
  std::string Library = "libopenal.so.1";
  // The device the game names; "DirectSound3D" (or empty) means the default device.
  std::string Device = "DirectSound3D";
};

// The OpenAL backend on the device, or, when the library, the device or a
// context cannot be had, the null backend after one log line saying why.
std::unique_ptr<TSoundBackend> OpenSoundBackend(const TSoundOptions& options);
std::unique_ptr<TSoundBackend> NullSoundBackend();
