#include "create/auto_command_expect.h"

#include <gtest/gtest.h>

#include "support/raid_log.h"

namespace volkit_test {

VolkitRun Auto(const json& lab, std::vector<std::string> words, const std::string& answers) {
  words.insert(words.begin(), {"0", "auto"});
  return RunVolkit(lab, words, answers);
}

std::vector<int> MemberTargets(const VolkitRun& run, int volume_id, int controller) {
  const json& raid = run.state["controllers"][controller]["raid"];
  std::vector<int> targets;
  for (const json& v : raid["volumes"]) {
    if (v["id"] != volume_id) continue;
    for (const json& m : v["members"]) {
      int num = m.is_object() ? m["num"].get<int>() : m.get<int>();
      for (const json& pd : raid["phys_disks"]) {
        if (pd["num"] == num) targets.push_back(pd["target"].get<int>());
      }
    }
  }
  return targets;
}

void ExpectTooFew(const VolkitRun& run, const char* type, int minimum) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: at least " + std::to_string(minimum) +
                         " drives must be available for " + type + " creation.\n");
  EXPECT_EQ(run.out.find("Volume creation failed"), std::string::npos);
  EXPECT_TRUE(RaidActions(run).empty());
}

}  // namespace volkit_test
