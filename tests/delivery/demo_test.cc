// The demo of `make demo` runs through on the programs of this build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/run_program.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(Demo, EveryStepShowsItsCommandAndSucceeds) {
  VolkitRun demo =
      RunProgram({"/bin/bash", std::string(VOLKIT_SOURCE_DIR) + "/scripts/demo", VOLKIT_BUILD_DIR});
  ASSERT_EQ(demo.status, 0) << demo.out << demo.err;
  for (const char* command :
       {"$ vxtsim -- volkit list\n", "$ vxtsim -- volkit 0 display\n",
        "$ vxtsim -- volkit 0 create im max 2 3 noprompt\n", "$ vxtsim -- volkit 0 status\n",
        "$ vxtsim -- volkit 0 hotspare delete 9\n", "$ vxtsim -- volkit 0 hotspare 9\n",
        "$ vxtsim fail 0:1\n", "$ vxtsim -- volkit 0 setoffline 3\n",
        "$ vxtsim -- volkit 0 setonline 3\n", "$ vxtsim -- volkit 0 locate 2 on\n",
        "$ vxtsim show\n", "$ vxtsim -- volkit 0 locate 2 off\n",
        "$ vxtsim -- volkit 0 delete noprompt\n"}) {
    EXPECT_NE(demo.out.find(command), std::string::npos) << command;
  }
  // The new mirror resynchronises beside the lab's own.
  EXPECT_NE(demo.out.find("IR Volume 2\n  Volume ID                               : 2\n"),
            std::string::npos);
  // The spare at target 9 took the failed disk's place, and the LED was lit.
  EXPECT_NE(demo.out.find("physical disk 2: target 9, volume member"), std::string::npos);
  EXPECT_NE(demo.out.find("locate LED lit in slot 2"), std::string::npos);
  // The monitoring check before and after the failure: WARNING both times,
  // the spare resynchronising in place of the failed disk.
  size_t before = demo.out.find("$ vxtsim -- volkit 0 health\nVOLKIT WARNING - ");
  size_t failure = demo.out.find("$ vxtsim fail 0:1\n");
  size_t after = demo.out.find("$ vxtsim -- volkit 0 health\nVOLKIT WARNING - ", failure);
  EXPECT_LT(before, failure);
  EXPECT_NE(after, std::string::npos);
  EXPECT_NE(demo.out.find(" hot_spares=0 ", after), std::string::npos);
  // ... and the failed disk the spare replaced, left in no volume.
  EXPECT_NE(
      demo.out.find("\nWARNING: controller 0 physical disk 1 (target 1) failed, in no volume: "
                    "replace the disk\n",
                    after),
      std::string::npos);
  EXPECT_NE(demo.out.find("docs/vxtsim.md"), std::string::npos);
  // The disk swap: the replaced disk becomes the hot spare the layout asks
  // for, monitoring is OK again and a second apply does nothing.
  size_t swap = demo.out.find("$ vxtsim replace 0:1\n");
  ASSERT_NE(swap, std::string::npos);
  size_t plan = demo.out.find(
      "  + add hot spare 1:1 (target 1, serial 3LM0A1C1R), in place of 2:1, now a member of "
      "volume 0\n",
      swap);
  ASSERT_NE(plan, std::string::npos);
  EXPECT_NE(demo.out.find("(exit status 4)\n", plan), std::string::npos);
  size_t ok = demo.out.find("VOLKIT OK - 1 volume optimal on 1 controller", plan);
  EXPECT_NE(ok, std::string::npos);
  EXPECT_NE(demo.out.find("controller 0: nothing to do.\n", ok), std::string::npos);
}

TEST(Demo, AFailingStepEndsTheDemoWithItsStatus) {
  // A build whose volkit fails to create: the story stops there.
  std::string build = MakeScratchDir();
  std::filesystem::create_directories(build + "/sim");
  std::filesystem::create_directories(build + "/src");
  std::filesystem::create_symlink(VxtsimPath(), build + "/sim/vxtsim");
  {
    std::ofstream volkit(build + "/src/volkit");
    volkit << "#!/bin/sh\n[ \"$2\" = create ] && exit 3\nexit 0\n";
  }
  std::filesystem::permissions(build + "/src/volkit", std::filesystem::perms::owner_all);
  VolkitRun demo =
      RunProgram({"/bin/bash", std::string(VOLKIT_SOURCE_DIR) + "/scripts/demo", build});
  EXPECT_EQ(demo.status, 3);
  EXPECT_NE(demo.out.find("0 create im max 2 3 noprompt"), std::string::npos);
  EXPECT_EQ(demo.out.find("0 status"), std::string::npos);

  std::string unbuilt = MakeScratchDir();
  demo = RunProgram({"/bin/bash", std::string(VOLKIT_SOURCE_DIR) + "/scripts/demo", unbuilt});
  EXPECT_EQ(demo.status, 1);
  EXPECT_NE(demo.err.find("is not built"), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
