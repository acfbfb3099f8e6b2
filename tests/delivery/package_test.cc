// The Debian packages: built from this build tree, inspected as dpkg sees
// them, unpacked into a scratch root and run from there.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "delivery/ansible_play.h"
#include "support/banner.h"
#include "support/run_program.h"

namespace volkit_test {
namespace {

const std::string kVersion = VOLKIT_VERSION;

std::string DebPath(const std::string& dir, const std::string& package) {
  return dir + "/" + package + "_" + kVersion + "_" + DEB_ARCH + ".deb";
}

// The files (not directories) a package holds, with their modes.
std::map<std::string, std::string> Contents(const std::string& deb) {
  VolkitRun run = RunProgram({"/usr/bin/dpkg-deb", "--contents", deb});
  EXPECT_EQ(run.status, 0) << run.err;
  std::map<std::string, std::string> files;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) {
    std::string mode = line.substr(0, line.find(' '));
    std::string path = line.substr(line.rfind(' ') + 1);
    if (path.back() != '/') files[path] = mode;
  }
  return files;
}

std::string Field(const std::string& deb, const std::string& name) {
  VolkitRun run = RunProgram({"/usr/bin/dpkg-deb", "--field", deb, name});
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

std::string Gunzip(const std::string& path) {
  VolkitRun run = RunProgram({"/usr/bin/env", "gzip", "-dc", path});
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

TEST(Package, InstallLayoutAndUnpackedProgramsRun) {
  std::string dir = MakeScratchDir();
  VolkitRun cpack = RunProgram({VOLKIT_CPACK, "-G", "DEB", "--config",
                                std::string(VOLKIT_BUILD_DIR) + "/CPackConfig.cmake", "-B", dir});
  ASSERT_EQ(cpack.status, 0) << cpack.out << cpack.err;

  std::string tool = DebPath(dir, "volkit"), sim = DebPath(dir, "volkit-sim");
  std::string lib = std::string("./usr/") + VXTSIM_INSTALL_LIBDIR + "/libvxtsim_preload.so";
  std::map<std::string, std::string> tool_files = Contents(tool), sim_files = Contents(sim);
  std::set<std::string> tool_paths, sim_paths;
  for (const auto& [path, mode] : tool_files) tool_paths.insert(path);
  for (const auto& [path, mode] : sim_files) sim_paths.insert(path);
  const std::string collection = "./usr/share/ansible/collections/ansible_collections/volkit/raid";
  EXPECT_EQ(
      tool_paths,
      (std::set<std::string>{
          "./usr/lib/systemd/system/volkit-metrics.service",
          "./usr/lib/systemd/system/volkit-metrics.timer", "./usr/sbin/volkit",
          "./usr/share/bash-completion/completions/volkit", "./usr/share/doc/volkit/README.md",
          "./usr/share/doc/volkit/changelog.gz", "./usr/share/doc/volkit/copyright",
          "./usr/share/doc/volkit/volkit-json.schema.json",
          "./usr/share/doc/volkit/volkit-layout.schema.json",
          "./usr/share/doc/volkit/volkit-plan.schema.json", "./usr/share/man/man8/volkit.8.gz",
          "./usr/share/volkit/prometheus/volkit-alerts.yml", collection + "/README.md",
          collection + "/galaxy.yml", collection + "/meta/runtime.yml",
          collection + "/plugins/modules/facts.py", collection + "/plugins/modules/layout.py",
          collection + "/plugins/module_utils/volkit_command.py",
          collection + "/plugins/module_utils/volkit_layout.py"}));
  EXPECT_EQ(sim_paths,
            (std::set<std::string>{
                "./usr/bin/vxtsim", lib, "./usr/share/doc/volkit-sim/vxtsim.md",
                "./usr/share/doc/volkit-sim/changelog.gz", "./usr/share/doc/volkit-sim/copyright",
                "./usr/share/man/man1/vxtsim.1.gz", "./usr/share/vxtsim/labs/default.json"}));
  EXPECT_EQ(tool_files["./usr/sbin/volkit"], "-rwxr-xr-x");
  // Ansible reads the modules; nothing runs them as programs.
  EXPECT_EQ(tool_files[collection + "/plugins/modules/layout.py"], "-rw-r--r--");
  EXPECT_EQ(sim_files["./usr/bin/vxtsim"], "-rwxr-xr-x");

  for (const std::string& deb : {tool, sim}) {
    SCOPED_TRACE(deb);
    EXPECT_EQ(Field(deb, "Section"), "admin\n");
    EXPECT_EQ(Field(deb, "Priority"), "optional\n");
    EXPECT_EQ(Field(deb, "Version"), kVersion + "\n");
    // Computed from the binaries, not written by hand.
    EXPECT_NE(Field(deb, "Depends").find("libc6"), std::string::npos);
  }
  EXPECT_EQ(Field(tool, "Package"), "volkit\n");
  EXPECT_EQ(Field(sim, "Package"), "volkit-sim\n");
  EXPECT_EQ(Field(sim, "Recommends"), "volkit\n");

  std::string root = dir + "/root";
  for (const std::string& deb : {tool, sim}) {
    ASSERT_EQ(RunProgram({"/usr/bin/dpkg", "-x", deb, root}).status, 0);
  }
  // What the packages say of themselves carries the version they are.
  for (const char* page : {"/usr/share/man/man8/volkit.8.gz", "/usr/share/man/man1/vxtsim.1.gz"}) {
    SCOPED_TRACE(page);
    std::string text = Gunzip(root + page);
    size_t title_line = text.find(".TH ");
    ASSERT_NE(title_line, std::string::npos);
    std::string title = text.substr(title_line, text.find('\n', title_line) - title_line);
    EXPECT_NE(title.find("\"volkit " + kVersion + "\""), std::string::npos) << title;
  }
  std::string changelog = Gunzip(root + "/usr/share/doc/volkit/changelog.gz");
  EXPECT_EQ(changelog.rfind("volkit (" + kVersion + ") ", 0), 0u) << changelog;

  VolkitRun bare = RunProgram({root + "/usr/sbin/volkit"});
  EXPECT_EQ(bare.status, 1);
  EXPECT_EQ(bare.out, kBanner);
  EXPECT_NE(bare.err.find("  volkit <controller #> <command> <parameters> ..."), std::string::npos);

  // ansible-doc renders the modules from where the package puts them.
  std::string home = dir + "/home";
  std::filesystem::create_directory(home);
  VolkitRun doc = RunAnsible({"/usr/bin/ansible-doc", "-t", "module", "volkit.raid.layout"},
                             root + "/usr/share/ansible/collections", home);
  EXPECT_EQ(doc.status, 0) << doc.err;
  EXPECT_NE(doc.out.find("allow_destroy"), std::string::npos) << doc.out;
  EXPECT_NE(doc.out.find(root + "/usr/share/ansible/collections/ansible_collections/volkit/raid"),
            std::string::npos)
      << doc.out;
  // That place is one ansible-core searches without being told.
  VolkitRun config = RunAnsible({"/usr/bin/ansible-config", "dump"}, "", home);
  size_t setting = config.out.find("COLLECTIONS_PATHS(default)");
  ASSERT_NE(setting, std::string::npos) << config.out << config.err;
  std::string paths = config.out.substr(setting);
  paths = paths.substr(0, paths.find('\n'));
  EXPECT_NE(paths.find("'/usr/share/ansible/collections'"), std::string::npos) << config.out;

  // The unpacked launcher finds its unpacked interposer; nothing points it
  // at the build tree.
  VolkitRun list =
      RunProgram({"/usr/bin/env", "-u", "VXTSIM_PRELOAD", root + "/usr/bin/vxtsim", "--state",
                  dir + "/state.json", "--", root + "/usr/sbin/volkit", "list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("   0     Heron   1000h    54h"), std::string::npos) << list.out;
}

}  // namespace
}  // namespace volkit_test
