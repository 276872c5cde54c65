// Vector, triangle, ray and sphere operations.
#include "world/geometry.h"

#include "core/convert.h"

#include <cmath>

float VecDot(const TVec3& a, const TVec3& b) {
  return static_cast<float>(static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                            static_cast<double>(a.z) * b.z);
}

TVec3 VecSub(const TVec3& a, const TVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVec3 VecAdd(const TVec3& a, const TVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

TVec3 VecScale(const TVec3& v, double s) {
  return {static_cast<float>(v.x * s), static_cast<float>(v.y * s), static_cast<float>(v.z * s)};
}

float VecLength(const TVec3& v) { return static_cast<float>(std::sqrt(static_cast<double>(VecDot(v, v)))); }

TVec3 VecNormalize(const TVec3& v) {
  double length = VecLength(v);
  if (length == 0) length = 1;
  return {static_cast<float>(v.x / length), static_cast<float>(v.y / length), static_cast<float>(v.z / length)};
}

TVec3 VecCross(const TVec3& a, const TVec3& b) {
  return {static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y),
          static_cast<float>(static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z),
          static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x)};
}

TVec3 MakeVec3(float x, float y, float z) { return {x, y, z}; }

TVec3 TriangleNormal(const TTriangle& t) {
  const TVec3& v0 = t.Vertices[0].Position;
  const TVec3& v1 = t.Vertices[1].Position;
  const TVec3& v2 = t.Vertices[2].Position;
  return VecNormalize(VecCross(VecSub(v1, v0), VecSub(v2, v1)));
}

void TrianglePlane(TTriangle& t) {
  TVec3 n = TriangleNormal(t);
  for (TVertex& v : t.Vertices) v.Normal = n;
  t.D = VecDot(n, t.Vertices[0].Position);
}

// The two coordinates of a point in the projection plane chosen for a normal.
struct Plane2D {
  int first, second;
};

static Plane2D ProjectionFor(const TVec3& n) {
  if (std::fabs(n.z) > 0.1f) return {0, 1};  // x, y
  if (std::fabs(n.x) <= 0.1f) return {0, 2};  // x, z
  return {2, 1};                              // z, y
}

static float Coord(const TVec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool PointInTriangle(const TTriangle& t, const TVec3& p) {
  Plane2D plane = ProjectionFor(t.Vertices[0].Normal);
  double px = Coord(p, plane.first), py = Coord(p, plane.second);
  int count = 0;
  for (int j = 0; j < 3; ++j) {
    const TVec3& a = t.Vertices[j].Position;
    const TVec3& b = t.Vertices[(j + 1) % 3].Position;
    double ax = Coord(a, plane.first), ay = Coord(a, plane.second);
    double bx = Coord(b, plane.first), by = Coord(b, plane.second);
    if ((ay - py) * (by - py) >= 0) continue;
    if (ax - px > 0 && bx - px > 0) {
      ++count;
    } else {
      float x = static_cast<float>((ay * bx - by * ax + py * (ax - bx)) / (ay - by));
      if (x - px > 0) ++count;
    }
  }
  return count == 1;
}

bool SphereTouchesTriangle(const TTriangle& t, const TSphere& s) {
  const TVec3& n = t.Vertices[0].Normal;
  float d = t.D - VecDot(n, s.Centre);
  if (std::fabs(d) >= s.Radius) return false;
  return PointInTriangle(t, VecAdd(s.Centre, VecScale(n, d)));
}

bool RayTriangle(const TTriangle& t, const TRay& r, float& param) {
  const TVec3& n = t.Vertices[0].Normal;
  float den = VecDot(r.Direction, n);
  if (std::fabs(den) < 1e-6f) return false;
  param = static_cast<float>((static_cast<double>(t.D) - VecDot(r.Origin, n)) / den);
  return PointInTriangle(t, VecAdd(r.Origin, VecScale(r.Direction, param)));
}

bool RayTriangleWithin(const TTriangle& t, const TRay& r, float limit) {
  const TVec3& n = t.Vertices[0].Normal;
  float den = VecDot(r.Direction, n);
  if (std::fabs(den) < 1e-6f) return false;
  float param = static_cast<float>((static_cast<double>(t.D) - VecDot(r.Origin, n)) / den);
  // Written so that a NaN parameter is rejected too.
  if (param > limit || !(param >= 0)) return false;
  return PointInTriangle(t, VecAdd(r.Origin, VecScale(r.Direction, param)));
}

bool RaySphere(const TSphere& s, const TRay& r) {
  TVec3 w = VecSub(s.Centre, r.Origin);
  float a = VecDot(r.Direction, w);
  if (a < 0) a = 0;
  TVec3 c = VecSub(VecScale(r.Direction, a), w);
  return static_cast<double>(s.Radius) * s.Radius > VecDot(c, c);
}

std::string Vec3ToString(const TVec3& v) {
  return FloatToStr(v.x) + "|" + FloatToStr(v.y) + "|" + FloatToStr(v.z);
}

std::string TriangleToString(const TTriangle& t) {
  return "Points: " + Vec3ToString(t.Vertices[0].Position) + " - " + Vec3ToString(t.Vertices[1].Position) + " - " +
         Vec3ToString(t.Vertices[2].Position) + " D: " + FloatToStr(t.D) +
         " Normal: " + Vec3ToString(t.Vertices[0].Normal);
}

TVec3 PointDiff(const TVec3& a, const TVec3& b) { return VecSub(a, b); }
TVec3 CrossProduct(const TVec3& a, const TVec3& b) { return VecCross(a, b); }

void NormalizeNonZero(const TVec3& v, TVec3& out) {
  double length = std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
                            static_cast<double>(v.z) * v.z);
  if (length > 0)
    out = {static_cast<float>(v.x / length), static_cast<float>(v.y / length), static_cast<float>(v.z / length)};
}

void NormalFromPoints(const TVec3& p0, const TVec3& p1, const TVec3& p2, TVec3& out) {
  NormalizeNonZero(CrossProduct(PointDiff(p0, p1), PointDiff(p0, p2)), out);
}
