// Generators still to come.
#include "generators.h"
void BuildMaps(TDataTree&) {}
void BuildCharacters(TDataTree&) {}
void BuildWeapons(TDataTree&) {}
