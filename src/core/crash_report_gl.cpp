// The GL half of the crash context: vendor and renderer of the current context.
#include "core/crash_report.h"
#include "core/gl_api.h"

void SetCrashGLFromContext() {
  auto text = [](GLenum name) {
    const GLubyte* s = glGetString(name);
    return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
  };
  SetCrashGL(text(GL_VENDOR), text(GL_RENDERER));
}
