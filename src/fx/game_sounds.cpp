// The game's named sounds on top of the OpenAL lists.
#include "fx/game_sounds.h"

#include "fx/openal.h"

#include <cmath>
#include <numbers>
#include <vector>

int32_t ClickSound = -1;
int32_t ShotSound = -1;

namespace {

// Shots of others overlap: a few sources of the shot sound, taken in turn.
constexpr int kShotVoices = 6;
// Within this distance a shot is heard at full volume; beyond, it fades.
constexpr float kShotHeardFullWithin = 4;
std::vector<int32_t> shotVoices;
size_t nextVoice = 0;

}  // namespace

void LoadGameSounds() {
  if (!OpenAL) return;
  ClickSound = OpenAL->LoadSound("data\\sound\\click.wav", false);
  ShotSound = OpenAL->LoadSound("data\\sound\\schuss.wav", false);
  shotVoices.clear();
  for (int i = 0; i < kShotVoices; ++i) {
    const int32_t index = OpenAL->LoadSound("data\\sound\\schuss.wav", false);
    if (TAlObject* voice = OpenAL->Sound(index)) {
      voice->Relative = false;
      voice->ReferenceDistance = kShotHeardFullWithin;
      voice->Apply();
    }
    shotVoices.push_back(index);
  }
}

void PlayShotSoundAt(float x, float y, float z) {
  if (!OpenAL || shotVoices.empty()) return;
  TAlObject* voice = OpenAL->Sound(shotVoices[nextVoice]);
  nextVoice = (nextVoice + 1) % shotVoices.size();
  if (!voice) return;
  voice->Position[0] = x;
  voice->Position[1] = y;
  voice->Position[2] = z;
  voice->Apply();
  voice->Play();
}

void PlaceSoundListener(float x, float y, float z, float yaw, float pitch) {
  if (!OpenAL) return;
  const double a = yaw * std::numbers::pi / 180, b = pitch * std::numbers::pi / 180;
  const float position[3] = {x, y, z};
  const float orientation[6] = {static_cast<float>(std::cos(a) * std::cos(b)), static_cast<float>(-std::sin(b)),
                                static_cast<float>(std::sin(a) * std::cos(b)), 0, 1, 0};
  OpenAL->SetListener(position, orientation);
}

static void PlaySoundAt(int32_t index) {
  if (TAlObject* sound = OpenAL ? OpenAL->Sound(index) : nullptr) sound->Play();
}

void PlayClickSound() { PlaySoundAt(ClickSound); }
void PlayShotSound() { PlaySoundAt(ShotSound); }

int32_t StartThemeMusic() {
  if (!OpenAL) return -1;
  int32_t index = OpenAL->LoadSound("data\\sound\\vedizi_theme.wav", true);
  TAlObject* theme = OpenAL->MusicAt(index);
  theme->Play();
  theme->SetLooping(true);
  return index;
}

void ResumeMusic(int32_t index) {
  TAlObject* music = OpenAL ? OpenAL->MusicAt(index) : nullptr;
  if (music && !music->Playing) music->Play();
}

void StopMusic(int32_t index) {
  if (TAlObject* music = OpenAL ? OpenAL->MusicAt(index) : nullptr) music->Stop();
}
