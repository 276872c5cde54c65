// Building, using and freeing the render passes' GLSL programs through the
// ARB shader-object entry points.
#include "render/shader.h"

#include "core/gl_api.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"

#include <algorithm>
#include <fstream>


// The file's lines, each ended with CR LF, as one text.
static std::string ReadShaderSource(const std::string& file) {
  std::ifstream in(HostPath(file), std::ios::binary);
  std::string source, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    source += line + "\r\n";
  }
  return source;
}

// A log of fewer than two bytes is only the terminating zero: no log.
static std::string InfoLog(GLhandleARB object) {
  GLint length = 0;
  glext::GetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  if (length < 2) return "";
  std::string log(static_cast<size_t>(length), '\0');
  GLsizei written = 0;
  glext::GetInfoLogARB(object, length, &written, log.data());
  log.resize(static_cast<size_t>(std::max<GLsizei>(0, std::min<GLsizei>(written, length))));
  return log;
}

static void LogError(const std::string& message) {
  if (Logger) Logger->LogError(message, LogSource::Shader);
}

TShader::TShader(const std::string& vertexFile, const std::string& fragmentFile) {
  if (!FileExists(HostPath(vertexFile)) || !FileExists(HostPath(fragmentFile))) {
    LogError("filename did not match");
    return;
  }
  const std::string files = vertexFile + " | " + fragmentFile;
  if (!glext::HasShaderObjects()) {
    LogError("The OpenGL driver has no shader objects: " + files);
    return;
  }
  ProgramId = glext::CreateProgramObjectARB();
  GLhandleARB vertex = CompileStage(GL_VERTEX_SHADER_ARB, vertexFile);
  GLhandleARB fragment = CompileStage(GL_FRAGMENT_SHADER_ARB, fragmentFile);
  glext::AttachObjectARB(ProgramId, vertex);
  glext::AttachObjectARB(ProgramId, fragment);
  glext::LinkProgramARB(ProgramId);
  const std::string linkLog = InfoLog(ProgramId);
  if (Logger && !linkLog.empty()) Logger->LogDebug(linkLog, "UShader: " + files);
  // Attached stages are only flagged here; they go with the program.
  glext::DeleteObjectARB(vertex);
  glext::DeleteObjectARB(fragment);
  GLint linked = 0;
  glext::GetObjectParameterivARB(ProgramId, GL_OBJECT_LINK_STATUS_ARB, &linked);
  if (linked != 1) {
    // Using an unlinked program fails on every draw; without one the pass
    // still shows the scene, unshaded.
    LogError("Couldn't link: " + files);
    glext::DeleteObjectARB(ProgramId);
    ProgramId = 0;
  }
}

unsigned TShader::CompileStage(unsigned kind, const std::string& file) {
  const std::string source = ReadShaderSource(file);
  GLhandleARB shader = glext::CreateShaderObjectARB(kind);
  const GLcharARB* text = source.c_str();
  const GLint length = static_cast<GLint>(source.size());
  glext::ShaderSourceARB(shader, 1, &text, &length);
  glext::CompileShaderARB(shader);
  const std::string log = InfoLog(shader);
  GLint compiled = 0;
  glext::GetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
  if (compiled == 1) {
    // Some drivers talk even about a clean compile; warnings are kept for the
    // shader's author and do not stop anyone's game.
    if (!log.empty() && Logger) Logger->LogInfo(file + ": " + log, LogSource::Shader);
  } else {
    LogError("Couldn't compile: " + file);
    ReportRenderError(log.empty() ? "Couldn't compile: " + file : log, LogSource::Shader);
  }
  return shader;
}

TShader::~TShader() {
  if (ProgramId && glext::DeleteObjectARB) glext::DeleteObjectARB(ProgramId);
}

void TShader::Enable() {
  Active = true;
  if (glext::UseProgramObjectARB) glext::UseProgramObjectARB(ProgramId);
}

void TShader::Disable() {
  Active = false;
  if (glext::UseProgramObjectARB) glext::UseProgramObjectARB(0);
}

void TShader::SetUniform(const char* name, float value) {
  if (!ProgramId) return;
  GLint location = glext::GetUniformLocationARB(ProgramId, name);
  if (location >= 0) glext::Uniform1fARB(location, value);
}

void TShader::SetUniform(const char* name, int value) {
  if (!ProgramId) return;
  GLint location = glext::GetUniformLocationARB(ProgramId, name);
  if (location >= 0) glext::Uniform1iARB(location, value);
}
