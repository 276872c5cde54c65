// View angles, their clamp, and the view transform of each camera mode.
#include "app/camera.h"

#include <cmath>
#include <numbers>

TCam* Cam = nullptr;

void TCam::Reset(float& characterYaw, float& characterPitch) {
  Yaw = 0;
  Pitch = 0;
  Clamp(characterYaw, characterPitch);
}

void TCam::Clamp(float& characterYaw, float& characterPitch) {
  if (!(Pitch >= -kPitchLimit)) Pitch = -kPitchLimit;
  if (Pitch > kPitchLimit) Pitch = kPitchLimit;
  if (!std::isfinite(Yaw)) Yaw = std::isfinite(characterYaw) ? characterYaw : 0;
  characterYaw = Yaw;
  characterPitch = Pitch;
}

namespace {

// Column-major 4 x 4 matrices in double; each operation multiplies on the
// right, as glRotate and glTranslate do.
struct TMat {
  double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  void Multiply(const double o[16]) {
    double r[16];
    for (int c = 0; c < 4; ++c)
      for (int row = 0; row < 4; ++row) {
        double sum = 0;
        for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * o[c * 4 + k];
        r[c * 4 + row] = sum;
      }
    std::copy(r, r + 16, m);
  }
  // About the x axis (pitch) or the y axis (yaw), by degrees.
  void RotateX(double degrees) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double r[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    Multiply(r);
  }
  void RotateY(double degrees) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double r[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
    Multiply(r);
  }
  void Translate(double x, double y, double z) {
    const double t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    Multiply(t);
  }
};

double SinDeg(double degrees) { return std::sin(degrees * std::numbers::pi / 180); }
double CosDeg(double degrees) { return std::cos(degrees * std::numbers::pi / 180); }

}  // namespace

bool TCam::ViewMatrix(const TCamPose& pose, int mode, float out[16]) {
  if (mode < 0 || mode >= kModes) return false;
  const double x = pose.Position.x, h = pose.EyeHeight, z = pose.Position.z, yaw = pose.Yaw, pitch = pose.Pitch;
  TMat view;
  view.RotateX(pitch);
  view.RotateY(yaw + 90);
  switch (mode) {
    case 0:  // first person, the eye 0.2 to the left like the shot's origin
      view.Translate(-x - 0.2 * SinDeg(yaw), -h, -z + 0.2 * CosDeg(yaw));
      break;
    case 1:
      view.Translate(-x, -h, -z);
      view.Translate(0.5, 0, 0.5);
      break;
    case 2:  // from 5 units above the head
      view.Translate(-x, -h, -z);
      view.Translate(0, -5, 0);
      break;
    default:  // on a unit sphere around the head, behind the view direction
      view.Translate(-x + SinDeg(yaw + 90) * CosDeg(pitch), -h - SinDeg(pitch), -z - CosDeg(yaw + 90) * CosDeg(pitch));
      break;
  }
  for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(view.m[i]);
  return true;
}
