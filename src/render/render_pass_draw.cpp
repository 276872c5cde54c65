// The render passes' textures: copying the frame in, drawing it back, and the
// set of passes the game post-processes its scene with.
#include "render/render_pass.h"

#include "core/gl_api.h"
#include "core/run_state.h"
#include "render/empty_texture.h"
#include "render/shader.h"
#include "render/textures.h"

// Whole run from the first InitShaders; loaded with the passes, drawn by nothing.
static unsigned StorybookTexture = 0;

TRenderpass::TRenderpass(int width, const std::string& fragmentFile, const std::string& vertexFile, int height) {
  if (!fragmentFile.empty() && !vertexFile.empty()) Shader = new TShader(vertexFile, fragmentFile);
  Resize(width, height, true);
}

TRenderpass::~TRenderpass() {
  if (TextureId) glDeleteTextures(1, &TextureId);
  delete Shader;
}

void TRenderpass::Resize(int width, int height, bool firstTime) {
  const int texWidth = PassTextureSide(width), texHeight = PassTextureSide(height);
  FactorW = static_cast<float>(width) / texWidth;
  FactorH = static_cast<float>(height) / texHeight;
  // Either side growing past the texture must give a new one: the frame is
  // copied into the texture's existing storage.
  if (texWidth != TexWidth || texHeight != TexHeight) {
    if (!firstTime && TextureId) glDeleteTextures(1, &TextureId);
    TextureId = CreateEmptyTexture(texWidth, texHeight, 3);
  }
  TexWidth = texWidth;
  TexHeight = texHeight;
  Width = width;
  Height = height;
  if (!Shader) return;
  Shader->Enable();
  PrintRenderLine(ScreenResizeLine(TexWidth, TexHeight, FactorW, FactorH), "UShader");
  Shader->SetUniform("width", static_cast<float>(TexWidth));
  Shader->SetUniform("height", static_cast<float>(TexHeight));
  Shader->SetUniform("facwidth", FactorW);
  Shader->SetUniform("facheight", FactorH);
  Shader->Disable();
}

void TRenderpass::Apply() {
  glBindTexture(GL_TEXTURE_2D, TextureId);
  // Only the frame's own pixels: the texture is allocated once per size, and
  // reading past the window would give undefined contents anyway.
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, Width, Height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void TRenderpass::Draw() const {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, TextureId);
  const bool shaded = Shader && Shader->ProgramId && glext::UseProgramObjectARB;
  if (shaded) glext::UseProgramObjectARB(Shader->ProgramId);
  // Texture row 0 is the window's bottom row, and the 2D projection has y down.
  const float w = static_cast<float>(ScreenWidth), h = static_cast<float>(ScreenHeight), z = -35;
  glBegin(GL_QUADS);
  glTexCoord2f(0, FactorH);
  glVertex3f(0, 0, z);
  glTexCoord2f(0, 0);
  glVertex3f(0, h, z);
  glTexCoord2f(FactorW, 0);
  glVertex3f(w, h, z);
  glTexCoord2f(FactorW, FactorH);
  glVertex3f(w, 0, z);
  glEnd();
  if (shaded) glext::UseProgramObjectARB(0);
}

void FreeRenderpasses() {
  for (TRenderpass** pass : {&Renderpass, &Renderpass2, &Renderpass3}) {
    delete *pass;
    *pass = nullptr;
  }
  if (StorybookTexture) glDeleteTextures(1, &StorybookTexture);
  StorybookTexture = 0;
}

void InitShaders(bool enableShader) {
  FreeRenderpasses();
  if (enableShader) {
    Renderpass = new TRenderpass(ScreenWidth, "data\\shaders\\f_blur_row.txt", "data\\shaders\\v_blur_row.txt",
                                 ScreenHeight);
    Renderpass2 = new TRenderpass(ScreenWidth, "data\\shaders\\f_blur_column.txt",
                                  "data\\shaders\\v_blur_column.txt", ScreenHeight);
    Renderpass3 = new TRenderpass(ScreenWidth, "data\\shaders\\f_bloom.txt", "data\\shaders\\v_bloom.txt",
                                  ScreenHeight);
    // The bloom reads the unblurred scene from texture unit 1.
    Renderpass3->Shader->Enable();
    Renderpass3->Shader->SetUniform("normal", 1);
    Renderpass3->Shader->Disable();
  } else {
    Renderpass = new TRenderpass(ScreenWidth, "", "", ScreenHeight);
  }
  LoadTexture("data\\shaders\\storybook.tga", StorybookTexture);
}

void ResizeRenderpasses(int width, int height) {
  // Every pass, not only the first: a blur pass left at the old size would
  // copy and stretch the wrong part of the window.
  for (TRenderpass* pass : {Renderpass, Renderpass2, Renderpass3})
    if (pass) pass->Resize(width, height, false);
}

void DrawRenderpasses() {
  if (!Renderpass) return;
  // The last pass drawn makes the picture, so with the blur passes the tint
  // must reach the bloom (which applies it once), not only the first pass.
  GLfloat tint[4];
  glGetFloatv(GL_CURRENT_COLOR, tint);
  Renderpass->Draw();
  glColor3f(1, 1, 1);
  if (!Renderpass2 || !Renderpass3) return;
  Renderpass2->Apply();
  Renderpass2->Draw();
  Renderpass3->Apply();
  // Unit 0 gets the blurred picture, unit 1 the sharp scene the bloom lifts.
  if (glext::ActiveTextureARB) {
    glext::ActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Renderpass->TextureId);
    glDisable(GL_TEXTURE_2D);
    glext::ActiveTextureARB(GL_TEXTURE0_ARB);
  }
  glColor3f(tint[0], tint[1], tint[2]);
  Renderpass3->Draw();
  glColor3f(1, 1, 1);
}
