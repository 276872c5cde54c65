// The sizes of the render passes' textures and the passes' globals.
#include "render/render_pass.h"

#include "core/convert.h"

TRenderpass* Renderpass = nullptr;
TRenderpass* Renderpass2 = nullptr;
TRenderpass* Renderpass3 = nullptr;

int PassTextureSide(int side) {
  // Counted in integers: the quotient of logarithms this stands for is exact
  // only in extended precision, and a power of two must still double.
  int texture = 1;
  while (texture <= side && texture < (1 << 30)) texture *= 2;
  return texture;
}

std::string ScreenResizeLine(int texWidth, int texHeight, float factorW, float factorH) {
  return "Screen Rezize: w/h/facw/fach: " + FloatToStr(texWidth) + "|" + FloatToStr(texHeight) + "|" +
         FloatToStr(factorW) + "|" + FloatToStr(factorH);
}
