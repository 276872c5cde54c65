// Start-up and shut-down of the module-level globals.
#include "app/modules.h"

#include "app/camera.h"
#include "core/logger.h"
#include "frontend/console.h"
#include "frontend/gui_add.h"
#include "fx/partikel.h"
#include "gui/gui_manager.h"
#include "net/network.h"
#include "render/level_scene_reader.h"
#include "world/frustum.h"

#include <cfenv>
#include <cstdio>

void InitModules() {
  Frustum = new TFrustum();
  GUIManager = new TGUIclass();
  Logger = new TLogger();
  Logger->LogInfo("Starting Application", "Initialization");
  // Geometry tests rely on division by zero giving an infinity and invalid
  // operations a NaN; keep every floating-point exception masked.
  fedisableexcept(FE_ALL_EXCEPT);
  Partikel = new TPartikel();
  InstallLevelLoaders();
  GUIAdd = new TGUIAdd();
  Network = new TNetwork();
  Cam = new TCam();
}

void InitServerModules() {
  Logger = new TLogger();
  Logger->SetEcho(stdout);
  Logger->LogInfo("Starting Dedicated Server", "Initialization");
  fedisableexcept(FE_ALL_EXCEPT);
  InstallLevelLoaders();  // an outdated map.lvl is rebuilt from map.3ds
  Network = new TNetwork();
}

void ShutdownServerModules() {
  delete Network;
  Network = nullptr;
  Logger->LogInfo("Terminating Dedicated Server", "Finalization");
  delete Logger;
  Logger = nullptr;
}

void ShutdownModules() {
  delete Cam;
  Cam = nullptr;
  delete Network;
  Network = nullptr;
  FreeConsole();
  delete GUIAdd;
  GUIAdd = nullptr;
  // Freed, not left to the process end, so that no particle tick runs while
  // the program's statics go.
  delete Partikel;
  Partikel = nullptr;
  Logger->LogInfo("Terminating Application", "Finalization");
  delete Logger;
  Logger = nullptr;
  delete GUIManager;
  GUIManager = nullptr;
  delete Frustum;
  Frustum = nullptr;
}
