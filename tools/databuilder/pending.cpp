// Generators still to come.
#include "generators.h"
void BuildWindows(TDataTree&) {}
void BuildMaps(TDataTree&) {}
void BuildCharacters(TDataTree&) {}
void BuildWeapons(TDataTree&) {}
