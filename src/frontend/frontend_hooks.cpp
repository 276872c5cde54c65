// The hooks' empty defaults.
#include "frontend/frontend_hooks.h"

TFrontendHooks FrontendHooks;

void FrontRequestLevel(const std::string& name) {
  if (FrontendHooks.RequestLevel) FrontendHooks.RequestLevel(name);
}
void FrontEndLevel() {
  if (FrontendHooks.EndLevel) FrontendHooks.EndLevel();
}
void FrontSetInGame(bool value) {
  if (FrontendHooks.SetInGame) FrontendHooks.SetInGame(value);
}
void FrontSetCursorVisible(bool value) {
  if (FrontendHooks.SetCursorVisible) FrontendHooks.SetCursorVisible(value);
}
void FrontShowError(const std::string& message, const std::string& source) {
  if (FrontendHooks.ShowError) FrontendHooks.ShowError(message, source);
}
bool FrontInGame() { return FrontendHooks.InGame && FrontendHooks.InGame(); }
bool FrontLevelRunning() { return FrontendHooks.LevelRunning && FrontendHooks.LevelRunning(); }
