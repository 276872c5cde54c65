// Shared geometric records (vector, vertex, level triangle, ray, sphere) and
// the vector and intersection operations used by movement, collision, picking
// and shooting. All results are single precision; intermediate sums are taken
// in double. Floating-point exceptions are masked, so degenerate input gives
// infinities or NaNs whose comparisons are false; several tests rely on that.
#pragma once
#include <cstdint>
#include <string>

struct TVec3 {
  float x = 0, y = 0, z = 0;
};

struct TVertex {
  TVec3 Position;
  TVec3 Normal;
  float TexCoord[2] = {0, 0};  // u, v
};

// Stored byte for byte (104 bytes) in level files: three vertices, the plane
// distance, the material index and two bytes of padding.
struct TTriangle {
  TVertex Vertices[3];
  float D = 0;            // Normal . Vertices[0].Position
  uint16_t Material = 0;  // index into the octree's material list
  uint16_t Padding = 0;
};
static_assert(sizeof(TVertex) == 32);
static_assert(sizeof(TTriangle) == 104);

struct TRay {
  TVec3 Origin;
  TVec3 Direction;  // unit length where distances are compared
};

struct TSphere {
  TVec3 Centre;
  float Radius = 0;
};

float VecDot(const TVec3& a, const TVec3& b);
TVec3 VecSub(const TVec3& a, const TVec3& b);
TVec3 VecAdd(const TVec3& a, const TVec3& b);
TVec3 VecScale(const TVec3& v, double s);
float VecLength(const TVec3& v);
// v / |v|; the zero vector is returned unchanged.
TVec3 VecNormalize(const TVec3& v);
TVec3 VecCross(const TVec3& a, const TVec3& b);
TVec3 MakeVec3(float x, float y, float z);

TVec3 TriangleNormal(const TTriangle& t);
// Writes the face normal into all three vertex normals and sets D.
void TrianglePlane(TTriangle& t);
// P is assumed to lie in T's plane. A crossing count in a coordinate plane
// chosen from the normal with a fixed 0.1 threshold (not the largest axis).
bool PointInTriangle(const TTriangle& t, const TVec3& p);
bool SphereTouchesTriangle(const TTriangle& t, const TSphere& s);
// t is the line parameter and may be negative; left unset for parallel rays.
bool RayTriangle(const TTriangle& t, const TRay& r, float& param);
bool RayTriangleWithin(const TTriangle& t, const TRay& r, float limit);
bool RaySphere(const TSphere& s, const TRay& r);

// "x|y|z" in general float format.
std::string Vec3ToString(const TVec3& v);
std::string TriangleToString(const TTriangle& t);

// Helpers of the model loader.
TVec3 PointDiff(const TVec3& a, const TVec3& b);
TVec3 CrossProduct(const TVec3& a, const TVec3& b);
// out := v / |v| when |v| > 0; otherwise out is left as it was.
void NormalizeNonZero(const TVec3& v, TVec3& out);
void NormalFromPoints(const TVec3& p0, const TVec3& p1, const TVec3& p2, TVec3& out);
