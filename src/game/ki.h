// The computer players' class: no fields and no operations yet; it lives
// exactly as long as the characters.
#pragma once

class TKI {};

// Per level: created and freed with Characters; null outside a running level.
extern TKI* KI;
