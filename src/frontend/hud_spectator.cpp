// The spectator's line of text.
#include "frontend/hud_spectator.h"

#include "game/characters.h"

std::string SpectatorLine(const TCharacters& characters) {
  if (characters.Spectator.Mode() == TWatch::Free) return "No team mate alive: free camera";
  const TCharacter* watched = characters.At(characters.Spectator.WatchedId());  // null unless a mate is followed
  return watched ? "Watching " + watched->Name + " (click for the next)" : "";
}
