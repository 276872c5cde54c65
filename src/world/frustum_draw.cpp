// Reading the view matrices for the frustum.
#include "core/gl_api.h"
#include "world/frustum.h"

void TFrustum::Update() {
  float projection[16], modelView[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  SetFromMatrices(projection, modelView);
}
