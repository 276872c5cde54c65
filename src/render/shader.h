// A GLSL program made of one vertex and one fragment shader file, used by the
// render passes, and the hooks through which shader problems reach the user.
// The GL work lives in shader_draw.cpp.
#pragma once
#include <functional>
#include <string>

// How the renderer reports a failure to the layers above it: Error opens the
// error window and ends the running level. While it is empty the text goes to
// the log.
struct TRenderReports {
  std::function<void(const std::string& message, const std::string& source)> Error;
};
// Whole run: filled by the game after start-up, emptied at its teardown.
extern TRenderReports RenderReports;

void ReportRenderError(const std::string& message, const std::string& source);
// A console line with its source ("UShader: ..."), also kept in the log.
void PrintRenderLine(const std::string& line, const std::string& source);

class TShader {
 public:
  // Compiles and links the two files. A missing file, or a driver without
  // shader objects, leaves ProgramId 0: the pass then draws unshaded.
  TShader(const std::string& vertexFile, const std::string& fragmentFile);
  ~TShader();  // deletes the program object
  TShader(const TShader&) = delete;
  TShader& operator=(const TShader&) = delete;

  void Enable();
  void Disable();
  // Sets a uniform of this program, which must be enabled; unknown names and
  // a program that does not exist are ignored.
  void SetUniform(const char* name, float value);
  void SetUniform(const char* name, int value);

  bool Active = false;
  unsigned ProgramId = 0;

 private:
  // Compiles one stage; returns its shader object (0 when it could not be made).
  unsigned CompileStage(unsigned kind, const std::string& file);
};
