// A blank texture of a given size, used as a render target copy.
#pragma once

// A new 2D texture name with uninitialised contents and linear filtering.
unsigned CreateEmptyTexture(int width, int height, int components);
