// The generators of the data tree, one per kind of content; each adds its
// files to the tree. main.cpp runs them in this order.
#pragma once
#include "data_tree.h"

void BuildMapTextures(TDataTree& tree);   // data/MapTextures/
void BuildSkyboxes(TDataTree& tree);      // data/skyboxes/
void BuildPictures(TDataTree& tree);      // HUD, menu background, misc pictures
void BuildSounds(TDataTree& tree);        // data/sound/
void BuildCopiedAssets(TDataTree& tree);  // shaders, settings, particle settings
void BuildParticles(TDataTree& tree);     // particle textures
void BuildFonts(TDataTree& tree);         // data/fonts/
void BuildSkins(TDataTree& tree);         // data/skins/
void BuildWindows(TDataTree& tree);       // data/GUI/*.gui
void BuildMaps(TDataTree& tree);          // data/maps/
void BuildCharacters(TDataTree& tree);    // data/characters/
void BuildWeapons(TDataTree& tree);       // data/weapons/
