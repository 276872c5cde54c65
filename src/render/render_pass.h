// Render passes: the finished scene copied into a screen-sized texture and
// drawn back, optionally through a shader, so it can be post-processed (row
// blur, column blur, bloom). The GL work lives in render_pass_draw.cpp.
#pragma once
#include <string>

class TShader;

// The smallest power of two strictly greater than side (800 and 600 give
// 1024, 1024 gives 2048); the texture then always has a spare row and column.
int PassTextureSide(int side);

// The console line a pass with a shader prints when it takes a size.
std::string ScreenResizeLine(int texWidth, int texHeight, float factorW, float factorH);

class TRenderpass {
 public:
  // With both file names given the pass gets a shader made from them.
  TRenderpass(int width, const std::string& fragmentFile, const std::string& vertexFile, int height);
  ~TRenderpass();  // frees the texture and the shader
  TRenderpass(const TRenderpass&) = delete;
  TRenderpass& operator=(const TRenderpass&) = delete;

  // Sizes the texture for a window of width x height and tells the shader.
  void Resize(int width, int height, bool firstTime);
  // Copies the window's lower-left Width x Height pixels into the texture and
  // clears the colour and depth buffers.
  void Apply();
  // Draws the texture, upright, over (0, 0)-(ScreenWidth, ScreenHeight) of
  // the caller's 2D projection (origin top left) through the shader.
  void Draw() const;

  unsigned TextureId = 0;
  int TexWidth = 0, TexHeight = 0;
  float FactorW = 0, FactorH = 0;  // the part of the texture that holds the frame
  TShader* Shader = nullptr;       // owned; null for a pass without shader
  int Width = 0, Height = 0;       // the window size the pass was last sized for
};

// Whole run from InitShaders on (null before); a later InitShaders replaces it.
extern TRenderpass* Renderpass;
// Exist only while "EnableShader" was set at the last InitShaders (else null).
extern TRenderpass* Renderpass2;
extern TRenderpass* Renderpass3;

// Creates the passes anew, freeing those of an earlier call: the row-blur,
// column-blur and bloom passes when enableShader, else one plain pass, all at
// (ScreenWidth, ScreenHeight). Needs the GL context.
void InitShaders(bool enableShader);
// Frees every pass (before the GL context goes away).
void FreeRenderpasses();
// A new window size for every pass.
void ResizeRenderpasses(int width, int height);
// Draws the scene back from the passes in the caller's 2D projection, tinted
// with the current colour (the HUD's death tint): the first pass, then, while
// the blur passes exist, the column blur and the bloom over it. Leaves the
// colour white.
void DrawRenderpasses();
