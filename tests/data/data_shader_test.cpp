// The render passes' shader files compile and link under Mesa through the
// ARB shader-object entry points the game uses, without any compiler output
// (the game reports every non-empty compile log as an error).
#include "data_tree.h"
#include "test_support.h"

#include "core/gl_api.h"

#include <gtest/gtest.h>

namespace {

std::string InfoLog(GLhandleARB object) {
  GLint length = 0;
  glext::GetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  if (length < 2) return "";
  std::string log(static_cast<size_t>(length), '\0');
  glext::GetInfoLogARB(object, length, nullptr, log.data());
  return log;
}

GLhandleARB Compile(GLenum kind, const std::string& file) {
  // Lines joined with CR LF, as the game reads them.
  std::string source, text = ReadFile(BinDir() + "/data/shaders/" + file);
  for (char c : text) source += c == '\n' ? std::string("\r\n") : std::string(1, c);
  GLhandleARB shader = glext::CreateShaderObjectARB(kind);
  const char* data = source.c_str();
  const GLint length = static_cast<GLint>(source.size());
  glext::ShaderSourceARB(shader, 1, &data, &length);
  glext::CompileShaderARB(shader);
  GLint ok = 0;
  glext::GetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &ok);
  EXPECT_EQ(ok, 1) << file;
  EXPECT_EQ(InfoLog(shader), "") << file;
  return shader;
}

TEST(DataShaders, EveryPassCompilesAndLinksWithItsUniforms) {
  REQUIRE_GL_WINDOW(64, 64);
  ASSERT_TRUE(glext::LoadGLExtensions());
  if (!glext::HasShaderObjects())
    GTEST_SKIP() << "no shader objects: " << reinterpret_cast<const char*>(glGetString(GL_RENDERER)) << " "
                 << reinterpret_cast<const char*>(glGetString(GL_VERSION)) << " "
                 << (glext::CreateShaderObjectARB != nullptr) << (glext::Uniform1fARB != nullptr)
                 << (glext::DeleteObjectARB != nullptr) << (glext::GetInfoLogARB != nullptr);
  for (const char* pass : {"blur_row", "blur_column", "bloom"}) {
    SCOPED_TRACE(pass);
    GLhandleARB program = glext::CreateProgramObjectARB();
    GLhandleARB vertex = Compile(GL_VERTEX_SHADER_ARB, std::string("v_") + pass + ".txt");
    GLhandleARB fragment = Compile(GL_FRAGMENT_SHADER_ARB, std::string("f_") + pass + ".txt");
    glext::AttachObjectARB(program, vertex);
    glext::AttachObjectARB(program, fragment);
    glext::LinkProgramARB(program);
    GLint linked = 0;
    glext::GetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    EXPECT_EQ(linked, 1) << InfoLog(program);
    for (const char* uniform : {"width", "height", "facwidth", "facheight"})
      EXPECT_GE(glext::GetUniformLocationARB(program, uniform), 0) << uniform;
    if (std::string(pass) == "bloom") {
      EXPECT_GE(glext::GetUniformLocationARB(program, "normal"), 0);
    }
    glext::DeleteObjectARB(vertex);
    glext::DeleteObjectARB(fragment);
    glext::DeleteObjectARB(program);
  }
}

}  // namespace
