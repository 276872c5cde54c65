// Generators still to come.
#include "generators.h"
void BuildFonts(TDataTree&) {}
void BuildSkins(TDataTree&) {}
void BuildWindows(TDataTree&) {}
void BuildMaps(TDataTree&) {}
void BuildCharacters(TDataTree&) {}
void BuildWeapons(TDataTree&) {}
