#include "robustness/sweep_labs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/lab.h"

namespace volkit_test {

json SmallLab(int disks, int device_limit) {
  json lab = SasLab(disks);
  if (!DeepSweep()) lab["controllers"][0]["port_facts"] = {{"device_limit", device_limit}};
  return lab;
}

json SmallMirrorLab(int disks, int device_limit) {
  json lab = SmallLab(disks, device_limit);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

void Sweep(const SweepScenario& s) {
  const SweepCounts counts = SweepSingleFaults(s);
  std::string line;
  for (const std::string& a : s.args) line += " " + a;
  std::printf("fault sweep volkit%s: %zu requests, %zu swept, %zu runs\n", line.c_str(),
              counts.requests, counts.swept, counts.runs);
  testing::Test::RecordProperty("runs", static_cast<int>(counts.runs));
}

}  // namespace volkit_test
