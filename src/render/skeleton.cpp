// Skeletons: dispatch by extension, bone lookup, bind matrices, the bones
// section of text models, and moving a model's vertices into bone space.
//
// Bones section of a text model (".txt"):
//   Frames: <n>            Frame: <n>
//   Bones: <count>
//     per bone: "name" / "parent name" / <flags> px py pz rx ry rz
//               <position key count>, per key: time x y z
//               <rotation key count>, per key: time x y z
// Counts larger than the lines left are cut to them.
#include "render/skeleton.h"

#include <cmath>

#include "core/convert.h"
#include "render/model.h"
#include "render/model_bytes.h"

void TSkeleton::LoadFromFile(const std::string& fileName) {
  SkeletonFile = fileName;
  std::string ending = LowerCase(fileName.size() >= 4 ? fileName.substr(fileName.size() - 4) : fileName);
  if (ending == ".bvh")
    LoadBvh(fileName);
  else if (ending == ".txt")
    LoadText(fileName);
}

const T3dsBone* TSkeleton::FindBone(const std::string& name) const {
  for (const auto& bone : Bones)
    if (SameText(bone->Name, name)) return bone.get();
  return nullptr;
}

T3dsBone& TSkeleton::AddBone(const std::string& name) {
  Bones.push_back(std::make_unique<T3dsBone>());
  BoneCount = static_cast<int>(Bones.size());
  Bones.back()->Name = name;
  return *Bones.back();
}

// Parents precede their children in file order, so each parent's matrix is
// final before a child uses it.
void TSkeleton::UpdateMatrices() {
  for (auto& bone : Bones) bone->UpdateMatrix(*this);
}

void T3dsBone::UpdateMatrix(const TSkeleton& skeleton) {
  ParentBone = ParentName.empty() ? nullptr : skeleton.FindBone(ParentName);
  clsMatrix local;
  local.SetRotationRadians(Rotation);
  local.SetTranslation(Position);
  if (ParentBone && ParentBone != this) {
    Matrix = ParentBone->Matrix;
    Matrix.PostMultiply(local);
  } else {
    Matrix = local;
  }
}

namespace {

class TSkeletonLines {
 public:
  explicit TSkeletonLines(std::vector<std::string> lines) : lines(std::move(lines)) {}
  bool AtEnd() const { return next >= lines.size(); }
  std::vector<std::string> Items() { return AtEnd() ? std::vector<std::string>{} : SplitItems(lines[next++]); }
  std::string First() {
    std::vector<std::string> items = Items();
    return items.empty() ? std::string() : items[0];
  }
  size_t Count() {
    int value = StrToIntDef(First(), 0);
    size_t count = value > 0 ? static_cast<size_t>(value) : 0;
    return std::min(count, lines.size() - next);
  }
  std::vector<std::string> lines;
  size_t next = 0;
};

float FloatAt(const std::vector<std::string>& items, size_t i) {
  return i < items.size() ? static_cast<float>(StrToFloatDef(items[i], 0)) : 0.0f;
}

void ReadKeys(TSkeletonLines& in, std::vector<TBoneKey>& keys, int& count) {
  keys.resize(in.Count());
  count = static_cast<int>(keys.size());
  for (TBoneKey& key : keys) {
    std::vector<std::string> items = in.Items();
    key.Values[0] = std::round(FloatAt(items, 0));
    for (int k = 1; k <= 3; ++k) key.Values[k] = FloatAt(items, k);
  }
}

}  // namespace

void TSkeleton::LoadText(const std::string& fileName) {
  TSkeletonLines in(SplitLines(ReadModelFile(fileName)));
  Bones.clear();
  BoneCount = 0;
  FormatKind = TAll3dsMesh::KindText;
  while (!in.AtEnd()) {
    const std::string line = in.lines[in.next++];
    if (StartsWith(line, "Frames: ")) {
      MotionFrames = StrToIntDef(Trim(line.substr(8)), 0);
    } else if (StartsWith(line, "Frame: ")) {
      CurrentFrame = StrToIntDef(Trim(line.substr(7)), 0);
    } else if (StartsWith(line, "Bones: ")) {
      int count = StrToIntDef(Trim(line.substr(7)), 0);
      for (int b = 0; b < count && !in.AtEnd(); ++b) {
        T3dsBone& bone = AddBone(in.First());
        bone.ParentName = in.First();
        std::vector<std::string> pose = in.Items();
        for (int k = 0; k < 3; ++k) {
          bone.Position[k] = FloatAt(pose, 1 + k);
          bone.Rotation[k] = FloatAt(pose, 4 + k);
        }
        ReadKeys(in, bone.PosKeys, bone.PosKeyCount);
        ReadKeys(in, bone.RotKeys, bone.RotKeyCount);
      }
    }
  }
  UpdateMatrices();
}

void TAll3dsMesh::ApplySkeleton() {
  if (ActiveSkeleton < 0 || ActiveSkeleton >= static_cast<int>(Skeletons.size())) return;
  const TSkeleton& skeleton = *Skeletons[ActiveSkeleton];
  for (auto& mesh : Meshes) {
    if (mesh->Faces.empty()) continue;
    for (size_t i = 0; i < mesh->Vertices.size() && i < mesh->BoneIndices.size(); ++i) {
      int bone = mesh->BoneIndices[i];
      if (bone < 0 || bone >= static_cast<int>(skeleton.Bones.size())) continue;
      const clsMatrix& matrix = skeleton.Bones[bone]->Matrix;
      TVec3& v = mesh->Vertices[i];
      float p[3] = {v.x, v.y, v.z};
      matrix.InverseTranslateVect(p);
      matrix.InverseRotateVect(p);
      v = {p[0], p[1], p[2]};
    }
  }
}
