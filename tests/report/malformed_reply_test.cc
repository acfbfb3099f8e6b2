// Firmware answers that lie: counts past the end of their page, pages cut
// short, short data transfers and odd limits.  DISPLAY and STATUS must end
// cleanly (0 or 1) and never read outside what was delivered; under the
// sanitizer build any stray read fails the run.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

json ConfiguredLab() {
  json lab = SasLab(6, 4096);
  lab["controllers"][0]["devices"][4]["protocol"] = "sata";
  lab["controllers"][0]["raid"] = Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2, "hot_spare_pool": 1}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1],
                   "resync": {"total": 4000, "remaining": 1000}}]})");
  return lab;
}

void ExpectCleanEnd(const VolkitRun& run, const std::string& name) {
  EXPECT_TRUE(run.status == 0 || run.status == 1) << name << ": status " << run.status;
  EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << name << "\n" << run.err;
  EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << name << "\n" << run.err;
}

TEST(MalformedReplies, ReportsEndCleanly) {
  struct Case {
    const char* Name;
    const char* Patch;  // merged into controller 0
    const char* Faults;
  };
  const Case cases[] = {
      {"volume count past the page", R"({"pages": {"IocPg2": {"bytes": {"8": "c8"}}}})", "[]"},
      {"volume list page of one word", R"({"pages": {"IocPg2": {"PageLength": 1}}})", "[]"},
      {"physical disk count past the page", R"({"pages": {"IocPg3": {"bytes": {"4": "ff"}}}})",
       "[]"},
      {"hot spare count past the page", R"({"pages": {"IocPg5": {"bytes": {"8": "ff"}}}})", "[]"},
      {"member count past the page",
       R"({"raid": {"volumes": [{"id": 0, "type": "IM", "members": [0, 1],
                                 "page_bytes": {"36": "ff"}}]}})",
       "[]"},
      {"physical disk pages of two words", R"({"pages": {"RaidPhysDiskPg0": {"PageLength": 2}}})",
       "[]"},
      {"device pages of two words", R"({"pages": {"SasDevicePg0": {"PageLength": 2}}})", "[]"},
      {"enclosure pages of two words", R"({"pages": {"SasEnclosurePg0": {"PageLength": 2}}})",
       "[]"},
      {"device limit of 300", R"({"port_facts": {"device_limit": 300}})", "[]"},
      {"device limit of 0", R"({"port_facts": {"device_limit": 0}})", "[]"},
      {"short inquiries", "{}", R"([{"match": {"scsi_opcode": "0x12"}, "effect": {"short": 3}}])"},
      {"short identify", "{}", R"([{"match": {"function": 28}, "effect": {"short": 7}}])"},
      {"short capacity", "{}", R"([{"match": {"scsi_opcode": "0x25"}, "effect": {"short": 2}}])"},
      {"replies never written", "{}",
       R"([{"match": {"function": 0}, "effect": {"no_reply": true}}])"},
  };
  for (const Case& c : cases) {
    json lab = ConfiguredLab();
    lab["controllers"][0].merge_patch(Lab(c.Patch));
    lab["faults"] = Lab(c.Faults);
    ExpectCleanEnd(RunVolkit(lab, {"0", "display"}), std::string(c.Name) + " (display)");
    ExpectCleanEnd(RunVolkit(lab, {"0", "status"}), std::string(c.Name) + " (status)");
  }
}

}  // namespace
}  // namespace volkit_test
