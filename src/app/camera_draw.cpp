// Putting the camera's view onto the projection matrix.
#include "app/camera.h"
#include "core/gl_api.h"

void TCam::Apply(const TCamPose& pose, int mode) {
  glMatrixMode(GL_PROJECTION);
  float view[16];
  if (ViewMatrix(pose, mode, view)) glMultMatrixf(view);
  glMatrixMode(GL_MODELVIEW);
}
