// BVH motion files. The hierarchy is found by keywords anywhere in a line,
// in any case, so a joint whose name contains "root" also counts as a root
// line; braces count the depth. Frame lines are the lines without keywords:
// one value per declared channel of every bone, in bone order.
//
//   HIERARCHY
//   ROOT <name> {  OFFSET x y z  CHANNELS n <channel names>  JOINT <name> { ... }
//                  End Site { OFFSET x y z }  }
//   MOTION
//   Frames: <n>
//   Frame Time: <seconds>
//   <values> ...
//
// Each bone's values are read in the order its CHANNELS line declares and
// stored by their names: positions into PosKeys slots 4..6 (x, y, z),
// rotations in degrees into RotKeys slots 4..6; slots 1..3 get the values in
// use (radians for rotations).
#include <algorithm>

#include "core/convert.h"
#include "render/model.h"
#include "render/model_bytes.h"
#include "render/skeleton.h"

namespace {

// Channel slot: 0..2 position x, y, z; 3..5 rotation x, y, z; -1 unknown.
int ChannelSlot(const std::string& name) {
  static const char* const names[] = {"xposition", "yposition", "zposition",
                                      "xrotation", "yrotation", "zrotation"};
  for (int i = 0; i < 6; ++i)
    if (name == names[i]) return i;
  return -1;
}

int RotationOrderCode(const std::string& a, const std::string& b, const std::string& c) {
  std::string order = std::string(1, a.empty() ? '?' : a[0]) + (b.empty() ? '?' : b[0]) + (c.empty() ? '?' : c[0]);
  static const std::pair<const char*, int> codes[] = {{"xyz", 4},  {"zxy", 8},  {"yzx", 16},
                                                      {"zyx", 32}, {"xzy", 64}, {"yxz", 128}};
  for (const auto& [text, code] : codes)
    if (order == text && a.find("rotation") != std::string::npos && b.find("rotation") != std::string::npos &&
        c.find("rotation") != std::string::npos)
      return code;
  return 0;
}

const char* const Keywords[] = {"end site", "{", "}", "root", "joint", "offset", "hierarchy",
                                "motion", "frame time", "frames", "channels"};

bool IsFrameLine(const std::string& lower) {
  for (const char* keyword : Keywords)
    if (lower.find(keyword) != std::string::npos) return false;
  return true;
}

std::string NameAfter(const std::string& line, size_t keywordEnd) {
  return keywordEnd + 1 < line.size() ? Trim(line.substr(keywordEnd + 1)) : std::string();
}

}  // namespace

void TSkeleton::LoadBvh(const std::string& fileName) {
  std::string bytes = ReadModelFile(fileName);
  std::vector<std::string> lines = SplitLines(bytes);
  Bones.clear();
  BoneCount = 0;
  FormatKind = TAll3dsMesh::KindBvh;
  std::vector<std::vector<int>> channels;  // per bone: slot of each declared channel
  size_t frameLines = 0;
  for (const std::string& line : lines)
    if (!Trim(line).empty() && IsFrameLine(LowerCase(line))) ++frameLines;

  int depth = 0;
  bool closed = false, endSite = false;
  std::string lastName;
  auto addBone = [&](const std::string& name) -> T3dsBone& {
    channels.emplace_back();
    return AddBone(name);
  };
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;
    std::string lower = LowerCase(line);
    size_t at;
    if (lower.find('{') != std::string::npos) ++depth;
    if (lower.find('}') != std::string::npos) {
      --depth;
      closed = true;
    }
    if (lower.find("end site") != std::string::npos) endSite = true;
    if ((at = lower.find("root")) != std::string::npos) {
      T3dsBone& bone = addBone(NameAfter(line, at + 4));
      lastName = bone.Name;
    }
    if ((at = lower.find("joint")) != std::string::npos) {
      // After a closing brace the joint hangs below the bone at the depth
      // reached; otherwise below the bone read last.
      std::string parent = lastName;
      if (closed) {
        if (depth >= 1 && depth <= static_cast<int>(Bones.size())) parent = Bones[depth - 1]->Name;
        closed = false;
      }
      T3dsBone& bone = addBone(NameAfter(line, at + 5));
      bone.ParentName = parent;
      lastName = bone.Name;
    }
    if ((at = lower.find("offset")) != std::string::npos) {
      if (endSite) {
        endSite = false;
      } else if (!Bones.empty()) {
        std::vector<std::string> items = SplitItems(line.substr(at + 6));
        T3dsBone& bone = *Bones.back();
        for (int k = 0; k < 3; ++k) {
          bone.Position[k] = k < static_cast<int>(items.size()) ? static_cast<float>(StrToFloatDef(items[k], 0)) : 0;
          bone.Rotation[k] = 0;
        }
      }
    }
    if ((at = lower.find("channels")) != std::string::npos) {
      if (endSite) {
        endSite = false;
      } else if (!Bones.empty()) {
        std::vector<std::string> items = SplitItems(lower.substr(at + 8));
        auto item = [&](size_t i) { return i < items.size() ? items[i] : std::string(); };
        bool position = item(1) == "xposition";
        T3dsBone& bone = *Bones.back();
        size_t first = position ? 4 : 1;
        bone.ChannelCode = (position ? 2 : 0) + RotationOrderCode(item(first), item(first + 1), item(first + 2));
        int declared = std::max(0, StrToIntDef(item(0), 0));
        std::vector<int>& slots = channels.back();
        slots.clear();
        for (size_t i = 1; i < items.size() && static_cast<int>(slots.size()) < declared; ++i)
          slots.push_back(ChannelSlot(items[i]));
      }
    }
    if ((at = lower.find("frames")) != std::string::npos) {
      size_t colon = lower.find(':', at);
      MotionFrames = colon == std::string::npos ? 0 : StrToIntDef(Trim(lower.substr(colon + 1)), 0);
      CurrentFrame = 0;
    }
    if (!IsFrameLine(lower)) continue;

    ++CurrentFrame;
    std::vector<std::string> items = SplitItems(line);
    size_t next = 0;
    // Only frames that a line can fill are kept, so a lying frame count
    // allocates nothing; and every key of a real file takes a few bytes of
    // it, so bones x keys stays below the file's size.
    size_t keyCount = std::min(static_cast<size_t>(std::max(MotionFrames, 0)), frameLines);
    keyCount = std::min(keyCount, bytes.size() / std::max<size_t>(Bones.size(), 1));
    for (size_t b = 0; b < Bones.size(); ++b) {
      T3dsBone& bone = *Bones[b];
      bone.PosKeys.resize(keyCount);
      bone.RotKeys.resize(keyCount);
      bone.PosKeyCount = bone.RotKeyCount = static_cast<int>(keyCount);
      bool stored = CurrentFrame >= 1 && static_cast<size_t>(CurrentFrame) <= keyCount;
      bool hasPosition = false, hasRotation = false;
      for (int slot : channels[b]) {
        float value = next < items.size() ? static_cast<float>(StrToFloatDef(items[next], 0)) : 0;
        ++next;
        if (!stored || slot < 0) continue;
        TBoneKey& key = slot < 3 ? bone.PosKeys[CurrentFrame - 1] : bone.RotKeys[CurrentFrame - 1];
        key.Values[4 + slot % 3] = value;
        (slot < 3 ? hasPosition : hasRotation) = true;
      }
      if (!stored) continue;
      if (hasPosition) bone.PosKeys[CurrentFrame - 1].Values[0] = static_cast<float>(CurrentFrame);
      if (hasRotation) bone.RotKeys[CurrentFrame - 1].Values[0] = static_cast<float>(CurrentFrame);
    }
    for (auto& bonePtr : Bones) {
      T3dsBone& bone = *bonePtr;
      if (CurrentFrame < 1 || static_cast<size_t>(CurrentFrame) > bone.RotKeys.size()) continue;
      TBoneKey& rot = bone.RotKeys[CurrentFrame - 1];
      TBoneKey& pos = bone.PosKeys[CurrentFrame - 1];
      for (int k = 1; k <= 3; ++k) {
        rot.Values[k] = static_cast<float>(rot.Values[k + 3] * 0.017453292519943295769);
        pos.Values[k] = pos.Values[k + 3];
      }
    }
  }
  CurrentFrame = 0;
  UpdateMatrices();
}
