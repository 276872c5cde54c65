// Where a volume change from the audio settings goes at once. The settings
// sit below the sound module and cannot reach it; the sound module implements
// this interface and registers itself while it exists.
#pragma once

class TVolumeSink {
 public:
  virtual ~TVolumeSink() = default;
  // The gain of every sound effect, respectively every piece of music.
  virtual void SoundVolumeChanged(float volume) = 0;
  virtual void MusicVolumeChanged(float volume) = 0;
};

// The sound module from its creation to its destruction; null otherwise, when
// a volume change is only stored.
extern TVolumeSink* VolumeSink;
