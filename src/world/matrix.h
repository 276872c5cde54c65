// 4 x 4 matrix of singles in OpenGL column order (m[12..14] translation),
// used by skeletons.
#pragma once

class clsMatrix {
 public:
  clsMatrix() { LoadIdentity(); }
  void LoadIdentity();
  void GetMatrix(float out[16]) const;
  void SetMatrix(const float in[16]);
  // m := m x other, both taken as affine (bottom row 0 0 0 1).
  void PostMultiply(const clsMatrix& other);
  // Rotation part from angles in radians about x, y, z; translation untouched.
  void SetRotationRadians(const float angles[3]);
  void SetTranslation(const float t[3]);
  // v := transpose(rotation) v
  void InverseRotateVect(float v[3]) const;
  // v := v - translation
  void InverseTranslateVect(float v[3]) const;

  float m[16];
};
