// The game's sounds by name: the looping theme of the menus, the click of the
// menu highlight and the shot. Each call does nothing while there is no
// OpenAL object or the sound was never loaded.
#pragma once
#include <cstdint>

// Indices into OpenAL's Sounds list; -1 until LoadGameSounds (whole run after that).
extern int32_t ClickSound;
extern int32_t ShotSound;

// Loads "data\sound\click.wav" and "data\sound\schuss.wav" as sound effects.
void LoadGameSounds();
void PlayClickSound();
void PlayShotSound();
// Another character's shot, heard from where it was fired (level units).
void PlayShotSoundAt(float x, float y, float z);
// The listener at the camera: its place and view angles in degrees (the
// game's yaw and pitch, as a shot's direction takes them).
void PlaceSoundListener(float x, float y, float z, float yaw, float pitch);

// Loads "data\sound\vedizi_theme.wav" as music, plays it and loops it;
// returns its index in the music list.
int32_t StartThemeMusic();
// Plays the music unless it is already playing (it is not started over).
void ResumeMusic(int32_t index);
void StopMusic(int32_t index);
