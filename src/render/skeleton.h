// Skeletons: bones with a parent hierarchy, a bind pose and per-frame keys,
// read from BVH motion files (skeleton_bvh.cpp) or from the bones section of
// text models (skeleton.cpp). The keys are stored, not played back.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "world/matrix.h"

// [0] frame number or time (an integer value), [1..3] x, y, z in use
// (radians for rotations), [4..6] x, y, z as read (BVH: degrees).
struct TBoneKey {
  float Values[7] = {0, 0, 0, 0, 0, 0, 0};
};

class TSkeleton;

class T3dsBone {
 public:
  // Resolves ParentBone and sets Matrix := parent's Matrix x local matrix,
  // the local matrix being Rotation (radians) with Position as translation.
  void UpdateMatrix(const TSkeleton& skeleton);

  // BVH channel layout: 2 = starts with positions; rotation order X Y Z 4,
  // Z X Y 8, Y Z X 16, Z Y X 32, X Z Y 64, Y X Z 128.
  int ChannelCode = 0;
  clsMatrix Matrix;  // absolute bind matrix
  std::string Name;
  int RotKeyCount = 0;
  int PosKeyCount = 0;
  const T3dsBone* ParentBone = nullptr;
  std::string ParentName;  // empty for a root
  float Rotation[3] = {0, 0, 0};
  std::vector<TBoneKey> RotKeys;
  float Position[3] = {0, 0, 0};  // offset from the parent
  std::vector<TBoneKey> PosKeys;
};

class TSkeleton {
 public:
  // ".bvh" or ".txt" (any case) loads; anything else loads nothing. A file
  // that cannot be opened throws EFileOpenError.
  void LoadFromFile(const std::string& fileName);
  void LoadBvh(const std::string& fileName);
  void LoadText(const std::string& fileName);
  // First bone whose name equals name ignoring case; null when none.
  const T3dsBone* FindBone(const std::string& name) const;

  std::vector<std::unique_ptr<T3dsBone>> Bones;
  int CurrentFrame = 0;
  std::string SkeletonFile;
  int BoneCount = 0;
  int MotionFrames = 0;
  int FormatKind = 0;  // 4 after a BVH load, 8 after a text load

 private:
  T3dsBone& AddBone(const std::string& name);
  void UpdateMatrices();
};
