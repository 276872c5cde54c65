// Resolution of the OpenGL extension entry points.
#include "core/gl_api.h"

#include <SDL/SDL.h>

namespace glext {
PFNGLACTIVETEXTUREARBPROC ActiveTextureARB;
PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTextureARB;
PFNGLMULTITEXCOORD2FARBPROC MultiTexCoord2fARB;
PFNGLCREATESHADEROBJECTARBPROC CreateShaderObjectARB;
PFNGLSHADERSOURCEARBPROC ShaderSourceARB;
PFNGLCOMPILESHADERARBPROC CompileShaderARB;
PFNGLCREATEPROGRAMOBJECTARBPROC CreateProgramObjectARB;
PFNGLATTACHOBJECTARBPROC AttachObjectARB;
PFNGLLINKPROGRAMARBPROC LinkProgramARB;
PFNGLUSEPROGRAMOBJECTARBPROC UseProgramObjectARB;
PFNGLGETUNIFORMLOCATIONARBPROC GetUniformLocationARB;
PFNGLUNIFORM1IARBPROC Uniform1iARB;
PFNGLUNIFORM1FARBPROC Uniform1fARB;
PFNGLGETOBJECTPARAMETERIVARBPROC GetObjectParameterivARB;
PFNGLGETINFOLOGARBPROC GetInfoLogARB;
PFNGLDELETEOBJECTARBPROC DeleteObjectARB;

template <typename Fn>
static void Resolve(Fn& fn, const char* name) {
  fn = reinterpret_cast<Fn>(SDL_GL_GetProcAddress(name));
}

bool LoadGLExtensions() {
  if (!glGetString(GL_VERSION)) return false;
  Resolve(ActiveTextureARB, "glActiveTextureARB");
  Resolve(ClientActiveTextureARB, "glClientActiveTextureARB");
  Resolve(MultiTexCoord2fARB, "glMultiTexCoord2fARB");
  Resolve(CreateShaderObjectARB, "glCreateShaderObjectARB");
  Resolve(ShaderSourceARB, "glShaderSourceARB");
  Resolve(CompileShaderARB, "glCompileShaderARB");
  Resolve(CreateProgramObjectARB, "glCreateProgramObjectARB");
  Resolve(AttachObjectARB, "glAttachObjectARB");
  Resolve(LinkProgramARB, "glLinkProgramARB");
  Resolve(UseProgramObjectARB, "glUseProgramObjectARB");
  Resolve(GetUniformLocationARB, "glGetUniformLocationARB");
  Resolve(Uniform1iARB, "glUniform1iARB");
  Resolve(Uniform1fARB, "glUniform1fARB");
  Resolve(GetObjectParameterivARB, "glGetObjectParameterivARB");
  Resolve(GetInfoLogARB, "glGetInfoLogARB");
  Resolve(DeleteObjectARB, "glDeleteObjectARB");
  return true;
}

bool HasMultitexture() { return ActiveTextureARB && ClientActiveTextureARB && MultiTexCoord2fARB; }

bool HasShaderObjects() {
  return CreateShaderObjectARB && ShaderSourceARB && CompileShaderARB && CreateProgramObjectARB && AttachObjectARB &&
         LinkProgramARB && UseProgramObjectARB && GetUniformLocationARB && Uniform1iARB && Uniform1fARB &&
         GetObjectParameterivARB && GetInfoLogARB && DeleteObjectARB;
}
}  // namespace glext
