// The layer check of `make lint`: folders of a source tree that include one
// another, directly or around a loop, fail it with the lines that close the
// loop; a stack passes silently.  A tree that declares its rank order (src/
// and sim/ do) also fails on an include sideways or up and on a function
// declared in one folder and defined in another.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/run_program.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

namespace fs = std::filesystem;

// A source tree of one file per entry, each holding `text`.
class SourceTree {
 public:
  SourceTree() : root_(MakeScratchDir() + "/src") {}
  // A copy of the project's own tree `name`, rank order included.
  explicit SourceTree(const std::string& name) : root_(MakeScratchDir() + "/" + name) {
    fs::copy(std::string(VOLKIT_SOURCE_DIR) + "/" + name, root_, fs::copy_options::recursive);
  }
  ~SourceTree() { fs::remove_all(fs::path(root_).parent_path()); }

  void Write(const std::string& path, const std::string& text) {
    fs::path file = fs::path(root_) / path;
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }

  VolkitRun Check() const {
    return RunProgram(
        {"/usr/bin/python3", std::string(VOLKIT_SOURCE_DIR) + "/scripts/check-layers", root_});
  }

 private:
  std::string root_;
};

TEST(CheckLayers, AStackPasses) {
  SourceTree tree;
  tree.Write("cli/main.cc", "#include \"cli/entry.h\"\n#include \"create/create.h\"\n");
  tree.Write("create/create.cc", "#include <cstdio>\n#include \"vxt/vxt.h\"\n");
  tree.Write("vxt/vxt.h", "#pragma once\n#include \"vxt/byte_access.h\"\n");
  // A quoted include of a name that is no folder of the tree is left alone.
  tree.Write("vxt/vxt.cc", "#include \"gtest/gtest.h\"\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "");
}

TEST(CheckLayers, FoldersThatIncludeEachOtherFailWithTheirLines) {
  SourceTree tree;
  tree.Write("create/auto.cc", "// picks disks\n#include \"setcfg/spares.h\"\n");
  tree.Write("setcfg/spares.cc", "#include \"create/limits.h\"\n");
  tree.Write("vxt/vxt.h", "#pragma once\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "check-layers: these folders include one another: create, setcfg\n"
            "  src/create/auto.cc:2: #include \"setcfg/spares.h\"\n"
            "  src/setcfg/spares.cc:1: #include \"create/limits.h\"\n");
}

TEST(CheckLayers, ALoopThroughThreeFoldersFailsAndSparesTheFolderOutsideIt) {
  SourceTree tree;
  tree.Write("a/one.h", "#include \"b/two.h\"\n");
  tree.Write("b/two.h", "#include \"c/three.h\"\n");
  tree.Write("c/deep/three.cc", "#include \"a/one.h\"\n");
  tree.Write("d/four.cc", "#include \"a/one.h\"\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "check-layers: these folders include one another: a, b, c\n"
            "  src/a/one.h:1: #include \"b/two.h\"\n"
            "  src/b/two.h:1: #include \"c/three.h\"\n"
            "  src/c/deep/three.cc:1: #include \"a/one.h\"\n");
}

TEST(CheckLayers, TheProjectsOwnTreesKeepTheirRankOrder) {
  for (const char* name : {"src", "sim"}) {
    SourceTree tree(name);
    VolkitRun run = tree.Check();
    EXPECT_EQ(run.status, 0) << name << ": " << run.out << run.err;
    EXPECT_EQ(run.out, "") << name;
  }
}

TEST(CheckLayers, SidewaysAndUpwardIncludesFailWithTheirLines) {
  SourceTree tree("src");
  tree.Write("setcfg/planted.cc", "#include \"setcfg/setcfg.h\"\n#include \"report/report.h\"\n");
  tree.Write("files/planted.h", "#pragma once\n#include \"create/create.h\"\n");
  // The plug-in reaches only the headers of its host the order names.
  tree.Write("driver/planted.cc", "#include \"vxt/driver_channel.h\"\n#include \"vxt/scsi.h\"\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "check-layers: includes that go sideways or up:\n"
            "  src/driver/planted.cc:2: #include \"vxt/scsi.h\": up\n"
            "  src/files/planted.h:2: #include \"create/create.h\": up\n"
            "  src/setcfg/planted.cc:2: #include \"report/report.h\": sideways\n");
}

TEST(CheckLayers, AFunctionDefinedOutsideTheFolderThatDeclaresItFails) {
  SourceTree tree("src");
  tree.Write("create/planted.h",
             "// Counts.\n#pragma once\n\nint PlantedCount(int n);\nint PlantedKept(int n);\n"
             "namespace {\nint PlantedLocal();\n}  // namespace\n");
  tree.Write("setcfg/planted.cc", "int PlantedCount(int n) {\n  return n;\n}\n");
  // Defined at home as well (an overload), or only inside one file: no pair.
  tree.Write("create/planted.cc", "int PlantedKept(int n) { return n; }\n");
  tree.Write("cli/planted.cc",
             "int PlantedKept(int n, int m) { return n + m; }\n"
             "static int PlantedLocal() { return 0; }\n");
  tree.Write("vxt/planted.h", "#pragma once\nint PlantedBelow(\n    int n);\n");
  tree.Write("cli/planted_below.cc", "int PlantedBelow(int n) { return n; }\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "check-layers: functions defined outside the folder that declares them:\n"
            "  src/vxt/planted.h:2: PlantedBelow declared in vxt, defined in cli "
            "(src/cli/planted_below.cc:1): up\n"
            "  src/create/planted.h:4: PlantedCount declared in create, defined in setcfg "
            "(src/setcfg/planted.cc:1): sideways\n");
}

TEST(CheckLayers, AFolderTheOrderDoesNotNameFails) {
  SourceTree tree("src");
  tree.Write("extra/extra.cc", "#include \"vxt/vxt.h\"\n");
  VolkitRun run = tree.Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "check-layers: folders without a rank in src/layers: extra\n");
}

}  // namespace
}  // namespace volkit_test
