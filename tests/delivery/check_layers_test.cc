// The layer check of `make lint`: folders of a source tree that include one
// another, directly or around a loop, fail it with the lines that close the
// loop; a stack passes silently.
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

}  // namespace
}  // namespace volkit_test
