// BVH skeletons: hierarchy from keywords and braces, channel codes, motion
// keys, and dispatch by extension.
#include <gtest/gtest.h>

#include <cmath>

#include "render/model.h"
#include "render/skeleton.h"
#include "test_support.h"

namespace {

std::unique_ptr<TSkeleton> LoadSkeleton(const std::string& text, const std::string& name = "motion.bvh") {
  TempDir dir;
  WriteFile(dir / name, text);
  auto skeleton = std::make_unique<TSkeleton>();
  skeleton->LoadFromFile(dir / name);
  return skeleton;
}

std::string ParentOf(const TSkeleton& s, size_t i) { return s.Bones[i]->ParentName; }

const char* const Chain = R"(HIERARCHY
ROOT Hips
{
  OFFSET 1.0 0.0 0.0
  CHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation
  JOINT Spine
  {
    OFFSET 0 2 0
    CHANNELS 3 Zrotation Xrotation Yrotation
    JOINT Neck
    {
      OFFSET 0 0 3
      CHANNELS 3 Xrotation Zrotation Yrotation
      End Site
      {
        OFFSET 9 9 9
      }
    }
  }
}
MOTION
Frames: 2
Frame Time: 0.033
10 20 30 90 0 0 1 2 3 4 5 6
11 21 31 0 180 0 7 8 9 10 11 12
)";

}  // namespace

TEST(SkeletonBvh, ChainAccumulatesOffsetsAndEndSitesChangeNothing) {
  auto s = LoadSkeleton(Chain);
  ASSERT_EQ(s->BoneCount, 3);
  EXPECT_EQ(s->FormatKind, TAll3dsMesh::KindBvh);
  EXPECT_EQ(s->Bones[0]->Name, "Hips");
  EXPECT_EQ(ParentOf(*s, 0), "");
  EXPECT_EQ(ParentOf(*s, 1), "Hips");
  EXPECT_EQ(ParentOf(*s, 2), "Spine");
  const T3dsBone& neck = *s->Bones[2];
  EXPECT_FLOAT_EQ(neck.Position[2], 3);
  EXPECT_FLOAT_EQ(neck.Position[0], 0);
  EXPECT_EQ(neck.ParentBone, s->Bones[1].get());
  EXPECT_FLOAT_EQ(neck.Matrix.m[12], 1);
  EXPECT_FLOAT_EQ(neck.Matrix.m[13], 2);
  EXPECT_FLOAT_EQ(neck.Matrix.m[14], 3);
  EXPECT_EQ(s->Bones[0]->ChannelCode, 10);
  EXPECT_EQ(s->Bones[1]->ChannelCode, 8);
  EXPECT_EQ(neck.ChannelCode, 64);
}

TEST(SkeletonBvh, MotionKeysFollowTheDeclaredChannels) {
  auto s = LoadSkeleton(Chain);
  EXPECT_EQ(s->MotionFrames, 2);
  EXPECT_EQ(s->CurrentFrame, 0);
  const T3dsBone& hips = *s->Bones[0];
  ASSERT_EQ(hips.PosKeyCount, 2);
  ASSERT_EQ(hips.RotKeyCount, 2);
  // Positions in X Y Z, then rotations declared Z X Y: stored by axis.
  const TBoneKey& p1 = hips.PosKeys[1];
  EXPECT_FLOAT_EQ(p1.Values[0], 2);
  EXPECT_FLOAT_EQ(p1.Values[4], 11);
  EXPECT_FLOAT_EQ(p1.Values[6], 31);
  EXPECT_FLOAT_EQ(p1.Values[3], 31);
  const TBoneKey& r0 = hips.RotKeys[0];
  EXPECT_FLOAT_EQ(r0.Values[6], 90);  // z came first
  EXPECT_NEAR(r0.Values[3], M_PI / 2, 1e-6);
  EXPECT_FLOAT_EQ(hips.RotKeys[1].Values[4], 180);
  // Later bones read the values after the six of the first bone.
  const TBoneKey& spine = s->Bones[1]->RotKeys[0];
  EXPECT_FLOAT_EQ(spine.Values[6], 1);
  EXPECT_FLOAT_EQ(spine.Values[4], 2);
  EXPECT_FLOAT_EQ(spine.Values[5], 3);
  EXPECT_FLOAT_EQ(spine.Values[0], 1);
  const TBoneKey& neck = s->Bones[2]->RotKeys[1];
  EXPECT_FLOAT_EQ(neck.Values[4], 10);
  EXPECT_FLOAT_EQ(neck.Values[6], 11);
  EXPECT_FLOAT_EQ(neck.Values[5], 12);
  EXPECT_FLOAT_EQ(s->Bones[2]->PosKeys[1].Values[0], 0);  // no position channels
}

TEST(SkeletonBvh, HierarchyRules) {
  struct Case {
    const char* what;
    const char* text;
    std::vector<std::string> names;
    std::vector<std::string> parents;
  };
  const Case cases[] = {
      {"a joint after a closing brace at depth 1 hangs below the root",
       "ROOT hips\n{\nJOINT left\n{\nEnd Site\n{\nOFFSET 1 1 1\n}\n}\nJOINT right\n{\n}\n}\n",
       {"hips", "left", "right"},
       {"", "hips", "hips"}},
      {"a joint after a closing brace at depth 2 hangs below the second bone",
       "ROOT a\n{\nJOINT b\n{\nJOINT c\n{\n}\nJOINT d\n{\n}\n}\n}\n",
       {"a", "b", "c", "d"},
       {"", "a", "b", "b"}},
      {"root inside a joint's name makes two bones",
       "ROOT base\n{\nJOINT Groot\n{\n}\n}\n",
       {"base", "", "Groot"},
       {"", "", ""}},
      {"keywords in any case", "root Top\n{\n  joint Child\n  {\n  }\n}\n", {"Top", "Child"}, {"", "Top"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = LoadSkeleton(c.text);
    ASSERT_EQ(s->Bones.size(), c.names.size());
    for (size_t i = 0; i < c.names.size(); ++i) {
      EXPECT_EQ(s->Bones[i]->Name, c.names[i]);
      EXPECT_EQ(ParentOf(*s, i), c.parents[i]) << i;
    }
  }
}

TEST(SkeletonBvh, PositionsInAnotherOrderKeepLaterBonesInStep) {
  const char* const text = R"(ROOT a
{
  OFFSET 0 0 0
  CHANNELS 6 Xposition Yposition Zposition Xrotation Yrotation Zrotation
  JOINT b
  {
    OFFSET 0 0 0
    CHANNELS 6 Xposition Yposition Zposition Yrotation Xrotation Zrotation
    JOINT c
    {
      CHANNELS 3 Yrotation Zrotation Xrotation
    }
  }
}
MOTION
Frames: 1000000000
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15
)";
  auto s = LoadSkeleton(text);
  ASSERT_EQ(s->BoneCount, 3);
  EXPECT_EQ(s->Bones[0]->ChannelCode, 6);
  EXPECT_EQ(s->Bones[1]->ChannelCode, 130);
  EXPECT_EQ(s->Bones[2]->ChannelCode, 16);
  // A frame count beyond the frame lines keeps only what they can fill.
  ASSERT_EQ(s->Bones[0]->RotKeys.size(), 1u);
  EXPECT_FLOAT_EQ(s->Bones[0]->RotKeys[0].Values[6], 6);
  EXPECT_FLOAT_EQ(s->Bones[1]->PosKeys[0].Values[4], 7);
  EXPECT_FLOAT_EQ(s->Bones[1]->RotKeys[0].Values[5], 10);  // y declared first
  EXPECT_FLOAT_EQ(s->Bones[1]->RotKeys[0].Values[4], 11);
  EXPECT_FLOAT_EQ(s->Bones[2]->RotKeys[0].Values[5], 13);
  EXPECT_FLOAT_EQ(s->Bones[2]->RotKeys[0].Values[4], 15);
}

TEST(SkeletonBvh, ExtensionDispatch) {
  const std::string bvh = "ROOT only\n{\nOFFSET 1 2 3\n}\n";
  EXPECT_EQ(LoadSkeleton(bvh, "MOTION.BVH")->BoneCount, 1);
  EXPECT_EQ(LoadSkeleton(bvh, "motion.Bvh")->FormatKind, TAll3dsMesh::KindBvh);
  EXPECT_EQ(LoadSkeleton(bvh, "motion.obj")->BoneCount, 0);
  auto text = LoadSkeleton("Frames: 4\nBones: 1\n\"b\"\n\"\"\n0 1 2 3 0 0 0\n0\n0\n", "RIG.TXT");
  EXPECT_EQ(text->FormatKind, TAll3dsMesh::KindText);
  EXPECT_EQ(text->MotionFrames, 4);
  ASSERT_EQ(text->BoneCount, 1);
  EXPECT_FLOAT_EQ(text->Bones[0]->Matrix.m[14], 3);
  TSkeleton missing;
  EXPECT_THROW(missing.LoadFromFile("/nonexistent/x.bvh"), std::runtime_error);
}
