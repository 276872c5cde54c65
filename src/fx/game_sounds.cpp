// The game's named sounds on top of the OpenAL lists.
#include "fx/game_sounds.h"

#include "fx/openal.h"

int32_t ClickSound = -1;
int32_t ShotSound = -1;

void LoadGameSounds() {
  if (!OpenAL) return;
  ClickSound = OpenAL->LoadSound("data\\sound\\click.wav", false);
  ShotSound = OpenAL->LoadSound("data\\sound\\schuss.wav", false);
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
