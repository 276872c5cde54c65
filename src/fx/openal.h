// Sound effects and music: one playable object per WAV file, each with its own
// buffer and source, kept in two lists whose indices the rest of the game
// holds (the click, the shot, the theme). Sources sit at the listener unless
// placed in the level (other players' shots); gains come from the audio settings and follow their changes at once.
// Without OpenAL or an audio device every operation here does nothing.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/volume_sink.h"
#include "fx/sound_backend.h"

struct TAlBuffer {
  unsigned BufferName = 0;  // 0: none (no audio, or its creation failed)
  int32_t Format = 0x1101;  // AL_FORMAT_MONO16
  int32_t Size = 0;
  int32_t Frequency = 22050;
  int32_t Loop = 0;
};

struct TAlSource {
  unsigned SourceName = 0;  // 0: none; the object then stays silent
};

class TAlObject {
 public:
  // Creates the buffer and the source. A failure is logged and leaves the
  // object silent; it never throws.
  TAlObject(TSoundBackend& backend, bool isMusic, float gain);
  // Stops, detaches and frees the buffer and the source; errors are logged.
  ~TAlObject();
  TAlObject(const TAlObject&) = delete;
  TAlObject& operator=(const TAlObject&) = delete;

  // Reads the WAV file into the buffer. Throws EWavFileError when the file
  // cannot be opened and EOpenALError when the samples are refused. Reads
  // nothing when there is no buffer to fill.
  void LoadWav(const std::string& fileName);
  // Hands Pitch, Gain, Position, Velocity and the buffer's loop flag to the source.
  void Apply();
  // Starts the sound; one that is still playing starts again from the beginning.
  void Play();
  void Stop();
  void SetLooping(bool on);
  // Frees the source and the buffer after a failed load: the object stays
  // in its list, so indices hold, but never sounds.
  void Silence();
  bool Audible() const { return Source.SourceName != 0; }

  float Position[3] = {0, 0, 0};
  float Velocity[3] = {0, 0, 0};
  TAlBuffer Buffer;
  TAlSource Source;
  float Pitch = 1;
  float Gain;
  bool Relative = true;  // sits at the listener; false: at Position in the level
  float ReferenceDistance = 1;
  bool Playing = false;
  bool IsMusic;

 private:
  TSoundBackend& backend;
};

class TOpenALclass : public TVolumeSink {
 public:
  // Opens the audio device (the null backend when there is none) and takes
  // volume changes from the settings while it exists.
  explicit TOpenALclass(const TSoundOptions& options = {});
  explicit TOpenALclass(std::unique_ptr<TSoundBackend> backend);
  ~TOpenALclass() override;
  TOpenALclass(const TOpenALclass&) = delete;
  TOpenALclass& operator=(const TOpenALclass&) = delete;

  // Appends a sound for the file to Music or Sounds and returns its index,
  // with the gain of the settings ("MusicVolume" or "SoundVolume"). A file
  // that is missing or unreadable, or an OpenAL error, is logged and leaves
  // that one sound silent; the index is valid all the same.
  int32_t LoadSound(const std::string& fileName, bool isMusic);
  // The object at index in Sounds or Music; null for an index never handed out.
  TAlObject* Sound(int32_t index) const;
  TAlObject* MusicAt(int32_t index) const;
  bool Audible() const { return backend->Audible(); }
  // The listener follows the camera: its place and the direction it looks.
  void SetListener(const float (&position)[3], const float (&orientation)[6]) {
    backend->SetListener(position, orientation);
  }

  void SoundVolumeChanged(float volume) override;
  void MusicVolumeChanged(float volume) override;

  std::vector<std::unique_ptr<TAlObject>> Sounds;
  std::vector<std::unique_ptr<TAlObject>> Music;

 private:
  std::unique_ptr<TSoundBackend> backend;
};

// Whole run: created by Tgame::Run before the configuration is read, freed in
// its teardown after the configuration; null before and after.
extern TOpenALclass* OpenAL;
