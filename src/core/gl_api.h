// The one header through which the game reaches OpenGL and GLU. Core OpenGL
// 1.x and GLU come from the system libraries the program links; the extension
// entry points (ARB multitexture, ARB shader objects) are resolved by name
// through SDL once the context exists (LoadGLExtensions). Only drawing and
// upload code (*_draw.cpp and the platform layer) includes this file.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>

namespace glext {
// GL_ARB_multitexture
extern PFNGLACTIVETEXTUREARBPROC ActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC MultiTexCoord2fARB;
// GL_ARB_shader_objects
extern PFNGLCREATESHADEROBJECTARBPROC CreateShaderObjectARB;
extern PFNGLSHADERSOURCEARBPROC ShaderSourceARB;
extern PFNGLCOMPILESHADERARBPROC CompileShaderARB;
extern PFNGLCREATEPROGRAMOBJECTARBPROC CreateProgramObjectARB;
extern PFNGLATTACHOBJECTARBPROC AttachObjectARB;
extern PFNGLLINKPROGRAMARBPROC LinkProgramARB;
extern PFNGLUSEPROGRAMOBJECTARBPROC UseProgramObjectARB;
extern PFNGLGETUNIFORMLOCATIONARBPROC GetUniformLocationARB;
extern PFNGLUNIFORM1IARBPROC Uniform1iARB;
extern PFNGLUNIFORM1FARBPROC Uniform1fARB;
extern PFNGLGETOBJECTPARAMETERIVARBPROC GetObjectParameterivARB;
extern PFNGLGETINFOLOGARBPROC GetInfoLogARB;
extern PFNGLDELETEOBJECTARBPROC DeleteObjectARB;

// Resolves the entry points above with the current context. Returns false
// when SDL has no context; a missing extension leaves its pointers null.
bool LoadGLExtensions();
bool HasMultitexture();
bool HasShaderObjects();
}  // namespace glext
