// clsMatrix operations.
#include "world/matrix.h"

#include <cmath>
#include <cstring>

void clsMatrix::LoadIdentity() {
  std::memset(m, 0, sizeof m);
  m[0] = m[5] = m[10] = m[15] = 1;
}

void clsMatrix::GetMatrix(float out[16]) const { std::memcpy(out, m, sizeof m); }
void clsMatrix::SetMatrix(const float in[16]) { std::memcpy(m, in, sizeof m); }

void clsMatrix::PostMultiply(const clsMatrix& other) {
  const float* o = other.m;
  float r[16];
  for (int i = 0; i < 3; ++i) {
    r[i] = m[i] * o[0] + m[4 + i] * o[1] + m[8 + i] * o[2];
    r[4 + i] = m[i] * o[4] + m[4 + i] * o[5] + m[8 + i] * o[6];
    r[8 + i] = m[i] * o[8] + m[4 + i] * o[9] + m[8 + i] * o[10];
    r[12 + i] = m[i] * o[12] + m[4 + i] * o[13] + m[8 + i] * o[14] + m[12 + i];
  }
  r[3] = r[7] = r[11] = 0;
  r[15] = 1;
  std::memcpy(m, r, sizeof m);
}

void clsMatrix::SetRotationRadians(const float a[3]) {
  float cr = static_cast<float>(std::cos(a[0])), sr = static_cast<float>(std::sin(a[0]));
  float cp = static_cast<float>(std::cos(a[1])), sp = static_cast<float>(std::sin(a[1]));
  float cy = static_cast<float>(std::cos(a[2])), sy = static_cast<float>(std::sin(a[2]));
  m[0] = cp * cy;
  m[1] = cp * sy;
  m[2] = -sp == 0 ? 0.0f : -sp;  // never a negative zero
  float srsp = sr * sp, crsp = cr * sp;
  m[4] = srsp * cy - cr * sy;
  m[5] = srsp * sy + cr * cy;
  m[6] = sr * cp;
  m[8] = crsp * cy + sr * sy;
  m[9] = crsp * sy - sr * cy;
  m[10] = cr * cp;
}

void clsMatrix::SetTranslation(const float t[3]) {
  m[12] = t[0];
  m[13] = t[1];
  m[14] = t[2];
}

void clsMatrix::InverseRotateVect(float v[3]) const {
  float x = v[0] * m[0] + v[1] * m[1] + v[2] * m[2];
  float y = v[0] * m[4] + v[1] * m[5] + v[2] * m[6];
  float z = v[0] * m[8] + v[1] * m[9] + v[2] * m[10];
  v[0] = x;
  v[1] = y;
  v[2] = z;
}

void clsMatrix::InverseTranslateVect(float v[3]) const {
  v[0] -= m[12];
  v[1] -= m[13];
  v[2] -= m[14];
}
