// lvltool: the level compiler for map makers, with the game's own code.
//   lvltool build MAPDIR [--threshold N]   compiles MAPDIR/map.3ds into MAPDIR/map.lvl
//   lvltool info MAP.lvl                   prints header, nodes, depth, triangles per node, materials
#include "core/binary_file.h"
#include "core/convert.h"
#include "manual.h"
#include "render/level_scene_reader.h"
#include "world/level.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

static int Usage() {
  std::fputs(HelpText(LvltoolManual()).c_str(), stderr);
  return 2;
}

static int Build(const std::string& mapDir, int32_t threshold) {
  std::string base = mapDir;
  if (!base.empty() && base.back() != '/') base += '/';
  TLevelBuildReport report = BuildLevelFile(base + "map.3ds", base + "map.lvl", threshold);
  std::printf("%s\n", report.LogLine().c_str());
  std::printf("%d nodes written to %smap.lvl (threshold %d)\n", report.Nodes, base.c_str(), threshold);
  return 0;
}

// The shortest text that reads back as the same single.
static std::string Single(float value) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

static std::string Colour(const float c[4]) {
  return Single(c[0]) + " " + Single(c[1]) + " " + Single(c[2]) + " " + Single(c[3]);
}

static std::string Point(const TVec3& p) { return Single(p.x) + " " + Single(p.y) + " " + Single(p.z); }

static int Info(const std::string& fileName) {
  TBinaryFile file(fileName, false);
  TOctree octree;
  std::string problem = ReadLevelFile(file, octree);
  std::printf("file type \"%s\", author \"%s\", version \"%s\"\n", file.FileType.c_str(), file.Author.c_str(),
              file.Version.c_str());
  if (!problem.empty()) {
    std::fprintf(stderr, "%s is %s; the game rebuilds such a file from map.3ds\n", fileName.c_str(), problem.c_str());
    return 1;
  }

  std::vector<int> depth(octree.Nodes.size(), 0);
  int leaves = 0, fewest = INT32_MAX, most = 0;
  for (size_t i = 0; i < octree.Nodes.size(); ++i) {
    const TNode& n = *octree.Nodes[i];
    if (n.Parent) depth[i] = depth[static_cast<size_t>(n.Parent->NodeIndex)] + 1;
    leaves += n.IsLeaf;
    fewest = std::min(fewest, n.TriangleCount());
    most = std::max(most, n.TriangleCount());
  }
  std::printf("texture directory \"%s\", threshold %d\n", octree.TextureDir.c_str(), octree.MaxTriangles);
  std::printf("%zu nodes (%d leaves), depth %d, %d triangles, %d to %d per node\n", octree.Nodes.size(), leaves,
              octree.Depth(), octree.TotalTriangles(), fewest, most);
  std::printf("\nnode parent depth leaf children triangles  centre / half-size\n");
  for (size_t i = 0; i < octree.Nodes.size(); ++i) {
    const TNode& n = *octree.Nodes[i];
    std::printf("%4zu %6d %5d %4s %8d %9d  %s / %s\n", i, n.Parent ? n.Parent->NodeIndex : -1, depth[i],
                n.IsLeaf ? "yes" : "no", n.ChildCount(), n.TriangleCount(), Point(n.Centre).c_str(),
                Single(n.HalfSize).c_str());
  }
  std::printf("\n%zu materials\n", octree.Materials.size());
  for (size_t i = 0; i < octree.Materials.size(); ++i) {
    const TOctreeMaterial& m = octree.Materials[i];
    std::printf("%4zu texture \"%s\"%s%s%s", i, m.HasTexture ? m.TextureName.c_str() : "", m.HasTexture ? "" : " (none)",
                m.TwoSided ? " two-sided" : "", m.HasBump ? (" bump " + Single(m.BumpAmount)).c_str() : "");
    std::printf(" diffuse %s%s ambient %s%s specular %s%s\n", Colour(m.Diffuse).c_str(), m.HasDiffuse ? "" : " (default)",
                Colour(m.Ambient).c_str(), m.HasAmbient ? "" : " (default)", Colour(m.Specular).c_str(),
                m.HasSpecular ? "" : " (default)");
  }
  return 0;
}

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") return std::fputs(HelpText(LvltoolManual()).c_str(), stdout) < 0;
  InstallLevelLoaders();
  try {
    if (args.size() == 2 && args[0] == "info") return Info(args[1]);
    if (args.size() >= 2 && args[0] == "build") {
      int32_t threshold = 500;
      if (args.size() == 4 && args[2] == "--threshold") {
        std::optional<int32_t> value = TryStrToInt(args[3]);
        if (!value || *value <= 0) return Usage();
        threshold = *value;
      } else if (args.size() != 2) {
        return Usage();
      }
      return Build(args[1], threshold);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lvltool: %s\n", e.what());
    return 1;
  }
  return Usage();
}
