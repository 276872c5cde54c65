// Sound objects and their two lists. A sound that fails stays silent and keeps
// its index: a missing file or a refused buffer is never worth ending the
// start-up or a level for.
#include "fx/openal.h"

#include "core/config.h"
#include "core/logger.h"
#include "fx/wav_file.h"

TOpenALclass* OpenAL = nullptr;

namespace {

void LogSoundError(const std::string& message) {
  if (Logger) Logger->LogError(message, "Sound");
}

}  // namespace

// ---- TAlObject ----

TAlObject::TAlObject(TSoundBackend& backend, bool isMusic, float gain)
    : Gain(gain), IsMusic(isMusic), backend(backend) {
  try {
    Buffer.BufferName = backend.CreateBuffer();
    Source.SourceName = backend.CreateSource();
  } catch (const EOpenALError& e) {
    LogSoundError(e.what());
    Silence();
  }
}

TAlObject::~TAlObject() {
  if (Playing) Stop();
  Silence();
}

void TAlObject::LoadWav(const std::string& fileName) {
  if (Buffer.BufferName == 0) return;
  TWavData wav;
  LoadWavFile(fileName, wav);
  Buffer.Format = wav.Format;
  Buffer.Size = wav.Size;
  Buffer.Frequency = wav.Frequency;
  Buffer.Loop = wav.Loop;
  backend.FillBuffer(Buffer.BufferName, wav);
  UnloadWav(wav);
}

void TAlObject::Apply() {
  if (!Audible()) return;
  TSourceSettings settings;
  settings.Pitch = Pitch;
  settings.Gain = Gain;
  for (int i = 0; i < 3; ++i) {
    settings.Position[i] = Position[i];
    settings.Velocity[i] = Velocity[i];
  }
  settings.Looping = Buffer.Loop != 0;
  settings.Relative = Relative;
  settings.ReferenceDistance = ReferenceDistance;
  backend.ApplySettings(Source.SourceName, settings);
}

void TAlObject::Play() {
  if (Audible()) backend.Play(Source.SourceName);
  Playing = true;
}

void TAlObject::Stop() {
  Playing = false;
  if (Audible()) backend.Stop(Source.SourceName);
}

void TAlObject::SetLooping(bool on) {
  Buffer.Loop = on ? 1 : 0;
  Apply();
}

void TAlObject::Silence() {
  // The source goes first: a buffer still attached to one cannot be deleted.
  if (Source.SourceName != 0) {
    backend.Stop(Source.SourceName);
    backend.AttachBuffer(Source.SourceName, 0);
    try {
      backend.DeleteSource(Source.SourceName);
    } catch (const EOpenALError& e) {
      LogSoundError(e.what());
    }
    Source.SourceName = 0;
  }
  if (Buffer.BufferName != 0) {
    try {
      backend.DeleteBuffer(Buffer.BufferName);
    } catch (const EOpenALError& e) {
      LogSoundError(e.what());
    }
    Buffer.BufferName = 0;
  }
}

// ---- TOpenALclass ----

TOpenALclass::TOpenALclass(const TSoundOptions& options) : TOpenALclass(OpenSoundBackend(options)) {}

TOpenALclass::TOpenALclass(std::unique_ptr<TSoundBackend> backend) : backend(std::move(backend)) {
  VolumeSink = this;
}

TOpenALclass::~TOpenALclass() {
  if (VolumeSink == this) VolumeSink = nullptr;
  // The objects hand their names back to the backend, so they go before it.
  Sounds.clear();
  Music.clear();
}

int32_t TOpenALclass::LoadSound(const std::string& fileName, bool isMusic) {
  float gain = 0.75f;
  if (GameVars) gain = isMusic ? GameVars->Audio->MusicVolume() : GameVars->Audio->SoundVolume();
  auto& list = isMusic ? Music : Sounds;
  list.push_back(std::make_unique<TAlObject>(*backend, isMusic, gain));
  TAlObject& sound = *list.back();
  try {
    sound.LoadWav(fileName);
    if (sound.Audible()) backend->AttachBuffer(sound.Source.SourceName, sound.Buffer.BufferName);
    sound.Apply();
  } catch (const EWavFileError& e) {
    LogSoundError(e.what());  // names the file already
    sound.Silence();
  } catch (const EOpenALError& e) {
    LogSoundError(std::string(e.what()) + ": " + fileName);
    sound.Silence();
  }
  return static_cast<int32_t>(list.size() - 1);
}

static TAlObject* At(const std::vector<std::unique_ptr<TAlObject>>& list, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
  return list[index].get();
}

TAlObject* TOpenALclass::Sound(int32_t index) const { return At(Sounds, index); }
TAlObject* TOpenALclass::MusicAt(int32_t index) const { return At(Music, index); }

void TOpenALclass::SoundVolumeChanged(float volume) {
  for (auto& sound : Sounds) {
    sound->Gain = volume;
    sound->Apply();
  }
}

void TOpenALclass::MusicVolumeChanged(float volume) {
  for (auto& music : Music) {
    music->Gain = volume;
    music->Apply();
  }
}
