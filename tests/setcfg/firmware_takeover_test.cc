// volkit and the firmware together: a failed mirror member and the hot spare
// that takes its place, members taken offline on purpose, and the locate LED
// as `vxtsim show` lists it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// Mirror 0 of targets 0 and 1; with `spare`, target 2 is a hot spare.
json MirrorLab(bool spare) {
  json lab = SasLab(spare ? 3 : 2);
  json disks = json::array({{{"num", 0}, {"target", 0}}, {{"num", 1}, {"target", 1}}});
  if (spare) disks.push_back({{"num", 2}, {"target", 2}, {"hot_spare_pool", 1}});
  lab["controllers"][0]["raid"] = {{"phys_disks", disks},
                                   {"volumes", {{{"id", 0}, {"type", "IM"}, {"members", {0, 1}}}}}};
  return lab;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// `vxtsim show` on the state a run left.
std::string Show(const VolkitRun& run) {
  return RunLauncher({"--state", run.dir + "/state.json", "show"}).out;
}

std::string Field(const char* name, const char* value) {
  std::string line = std::string("  ") + name;
  line.resize(42, ' ');
  return line + ": " + value + "\n";
}

TEST(FirmwareTakeover, FailedMemberIsReplacedByTheSpareAndResynchronised) {
  VolkitRun failed = RunVxtsim(MirrorLab(true), {"fail", "0:1"});
  ASSERT_EQ(failed.status, 0) << failed.err;
  EXPECT_EQ(failed.out, "vxtsim: physical disk 1 at target 1 of controller 0 failed\n");
  std::string shown = Show(failed);
  EXPECT_TRUE(Has(shown, "volume 0: IM, 143243672 blocks, state 1, members 0 2, resync")) << shown;
  EXPECT_TRUE(Has(shown, "physical disk 1: target 1, in no volume, state 3, failed")) << shown;
  EXPECT_TRUE(Has(shown, "0 hot spares")) << shown;

  VolkitRun display = RunVolkitAgain(failed, {"0", "display"});
  EXPECT_EQ(display.status, 0);
  EXPECT_TRUE(Has(display.out, Field("Status of volume", "Resyncing (RSY)"))) << display.out;
  EXPECT_TRUE(Has(display.out, Field("Physical hard disks (Target ID)", "0 2"))) << display.out;
  EXPECT_TRUE(Has(display.out, Field("State", "Out of Sync (OSY)"))) << display.out;
  EXPECT_FALSE(Has(display.out, "Hot Spare (HSP)")) << display.out;

  // Each STATUS asks for the progress once; the resync runs to its end.
  VolkitRun status = RunVolkitAgain(display, {"0", "status"});
  EXPECT_TRUE(Has(status.out, Field("Current operation", "Synchronize"))) << status.out;
  EXPECT_TRUE(Has(status.out, Field("Volume state", "Degraded"))) << status.out;
  EXPECT_TRUE(Has(status.out, Field("Number of remaining sectors", "143243672"))) << status.out;
  for (int i = 0; i < 9 && Has(status.out, "Synchronize"); ++i) {
    status = RunVolkitAgain(status, {"0", "status"});
  }
  EXPECT_TRUE(Has(status.out, Field("Current operation", "None"))) << status.out;
  EXPECT_TRUE(Has(status.out, Field("Volume state", "Optimal"))) << status.out;
  display = RunVolkitAgain(status, {"0", "display"});
  EXPECT_TRUE(Has(display.out, Field("Status of volume", "Okay (OKY)"))) << display.out;
}

TEST(FirmwareTakeover, WithoutASpareTheMirrorStaysDegraded) {
  VolkitRun failed = RunVxtsim(MirrorLab(false), {"fail", "0:1"});
  ASSERT_EQ(failed.status, 0) << failed.err;
  VolkitRun display = RunVolkitAgain(failed, {"0", "display"});
  EXPECT_TRUE(Has(display.out, Field("Status of volume", "Degraded (DGD)"))) << display.out;
  EXPECT_TRUE(Has(display.out, Field("Physical hard disks (Target ID)", "0 1"))) << display.out;
  EXPECT_TRUE(Has(display.out, Field("State", "Failed (FLD)"))) << display.out;
  VolkitRun status = RunVolkitAgain(display, {"0", "status"});
  EXPECT_TRUE(Has(status.out, Field("Current operation", "None"))) << status.out;
  EXPECT_TRUE(Has(status.out, Field("Volume state", "Degraded"))) << status.out;
  // The failed disk cannot be brought back.
  VolkitRun online = RunVolkitAgain(status, {"0", "setonline", "1"});
  EXPECT_EQ(online.status, 1);
  EXPECT_EQ(online.out, std::string(kBanner) + "volkit: Setonline command failed.\n");

  // Bad addresses are the launcher's to refuse.
  for (const char* address : {"0", "0:x", "1:1", "0:7", "0:256"}) {
    VolkitRun bad = RunVxtsim(MirrorLab(false), {"fail", address});
    EXPECT_EQ(bad.status, 2) << address;
    EXPECT_NE(bad.err, "") << address;
  }
}

TEST(FirmwareTakeover, MemberTakenOfflineOnPurposeKeepsTheSpareASpare) {
  VolkitRun offline = RunVolkit(MirrorLab(true), {"0", "setoffline", "1"});
  ASSERT_EQ(offline.status, 0) << offline.out << offline.err;
  VolkitRun display = RunVolkitAgain(offline, {"0", "display"});
  EXPECT_TRUE(Has(display.out, Field("Status of volume", "Degraded (DGD)"))) << display.out;
  EXPECT_TRUE(Has(display.out, "Hot Spare (HSP)")) << display.out;
  EXPECT_TRUE(Has(Show(display), "1 hot spares"));

  // A second offline, and online of a member that is online, are refused
  // by the firmware and change nothing.
  VolkitRun again = RunVolkitAgain(display, {"0", "setoffline", "1"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out, std::string(kBanner) + "volkit: Setoffline command failed.\n");
  EXPECT_EQ(again.err, "");
  ASSERT_EQ(RaidActions(again).size(), 1u);
  EXPECT_FALSE(RaidActions(again)[0].Ok);
  EXPECT_EQ(PhysDiskState(again, 1), 5);
  VolkitRun online = RunVolkitAgain(again, {"0", "setonline", "0"});
  EXPECT_EQ(online.status, 1);
  EXPECT_EQ(online.out, std::string(kBanner) + "volkit: Setonline command failed.\n");
  EXPECT_EQ(PhysDiskState(online, 0), 0);

  // Back online: resynchronised, as STATUS shows.
  online = RunVolkitAgain(online, {"0", "setonline", "1"});
  EXPECT_EQ(online.status, 0);
  VolkitRun status = RunVolkitAgain(online, {"0", "status"});
  EXPECT_TRUE(Has(status.out, Field("Current operation", "Synchronize"))) << status.out;
}

TEST(FirmwareTakeover, MemberStatesRefusedWhileIrIsDisabled) {
  json lab = MirrorLab(true);
  lab["controllers"][0]["runtime"] = {{"ir_disabled", true}};
  VolkitRun run = RunVolkit(lab, {"0", "setoffline", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Setoffline command failed.\n");
  ASSERT_EQ(RaidActions(run).size(), 1u);
  EXPECT_FALSE(RaidActions(run)[0].Ok);
  EXPECT_EQ(PhysDiskState(run, 1), 0);
}

TEST(FirmwareLocate, ShowListsTheLitSlotWhateverTheProcessorReports) {
  for (bool reports : {true, false}) {
    SCOPED_TRACE(reports);
    json lab = SasLab(3);
    if (!reports) lab["controllers"][0]["enclosures"][0]["reports_identify"] = false;
    VolkitRun on = RunVolkit(lab, {"0", "locate", "1:2", "on"});
    EXPECT_EQ(on.status, 0);
    EXPECT_TRUE(Has(Show(on), "  enclosure 1: locate LED lit in slot 2\n")) << Show(on);
    VolkitRun second = RunVolkitAgain(on, {"0", "locate", "0", "on"});
    EXPECT_TRUE(Has(Show(second), "  enclosure 1: locate LED lit in slots 0 2\n"));
    // The read before the write shows the bit only on a processor that
    // reports it.
    std::vector<json> sep = second.Ioctls(0x18);
    ASSERT_EQ(sep.size(), 2u);
    EXPECT_EQ(FrameBytes(sep[0], 32)[4], 1);
    VolkitRun again = RunVolkitAgain(second, {"0", "locate", "2", "on"});
    ByteVector reply = HexBytes(again.Ioctls(0x18)[0].value("reply", ""));
    ASSERT_GE(reply.size(), 24u);
    EXPECT_EQ(reply[22] & 0x02, reports ? 0x02 : 0x00);

    VolkitRun off = RunVolkitAgain(again, {"0", "locate", "1:2", "off"});
    EXPECT_EQ(off.status, 0);
    std::string shown = Show(off);
    EXPECT_TRUE(Has(shown, "  enclosure 1: locate LED lit in slot 0\n")) << shown;
    off = RunVolkitAgain(off, {"0", "locate", "0", "off"});
    EXPECT_FALSE(Has(Show(off), "locate LED")) << Show(off);
  }
}

}  // namespace
}  // namespace volkit_test
