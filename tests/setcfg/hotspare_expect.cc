#include "setcfg/hotspare_expect.h"

#include <gtest/gtest.h>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"

namespace volkit_test {

json SasMirrorLab(int disks) {
  json lab = SasLab(disks);
  LabController(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

VolkitRun HotSpare(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "hotspare"});
  return RunVolkit(lab, words);
}

void ExpectRefused(const VolkitRun& run, const std::string& err, const std::string& out) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, err);
  EXPECT_EQ(run.out, kBanner + out);
  EXPECT_TRUE(RaidActions(run).empty());
}

size_t HotSpares(const VolkitRun& run) {
  size_t spares = 0;
  for (const json& pd : run.state["controllers"][0]["raid"]["phys_disks"]) {
    if (pd.value("hot_spare_pool", 0) != 0) ++spares;
  }
  return spares;
}

}  // namespace volkit_test
