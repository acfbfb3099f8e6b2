// Each refusal of plan and apply: the reason, exit 1, and not one request
// that changes anything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/layout_test_support.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// Two volumes and a spare wanted on six free disks.
json WantedLayout() {
  return OneController(Lab(R"({"controller": 0,
    "volumes": [{"type": "im", "disks": ["1:0", {"disk": "1:1", "serial": "SN1001"}]},
                {"type": "raid0", "disks": [2, "1:3"], "size_mb": 4096}],
    "hot_spares": ["1:4"]})"));
}

struct Refusal {
  const char* Name;
  json Lab;
  json Layout;
  std::vector<std::string> Extra;
  const char* Error;
};

TEST(LayoutRefusals, EachChangesNothing) {
  json blocks4k = SasLab(6);
  blocks4k["controllers"][0]["devices"][1]["block_size"] = 4096;
  json small_spare = Raid(SasLab(3), R"({"phys_disks": [{"num": 0, "target": 0},
      {"num": 1, "target": 1}], "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  small_spare["controllers"][0]["devices"][2]["blocks"] = 143243671;
  json sata = SasLab(4);
  sata["controllers"][0]["devices"][3]["protocol"] = "sata";
  json sata_spare = sata;
  sata_spare["controllers"][0]["raid"] = Lab(R"({"phys_disks": [{"num": 0, "target": 0},
      {"num": 1, "target": 1}], "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  const std::vector<Refusal> refusals = {
      {"sas and sata",
       sata,
       OneController(
           Lab(R"({"controller": 0, "volumes": [{"type": "im", "disks": ["1:2", "1:3"]}]})")),
       {},
       "the disks are a mix of SAS and SATA drives"},
      {"sata spare",
       sata_spare,
       OneController(Lab(R"({"controller": 0, "hot_spares": ["1:3"],
       "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}]})")),
       {},
       "its interface or medium matches no mirror's disks"},
      {"small spare",
       small_spare,
       OneController(Lab(R"({"controller": 0, "hot_spares": ["1:2"],
       "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}]})")),
       {},
       "the disk is too small to stand in for a member of volume 0"},
      {"serial",
       SasLab(6),
       WantedLayout(),
       {},
       "controllers[0].volumes[0].disks[1]: the disk in 1:1 has serial SN1001, the layout pins "
       "SN1001"},
      {"absent",
       SasLab(3),
       WantedLayout(),
       {},
       "controllers[0].volumes[1].disks[1]: no disk sits in 1:3"},
      {"blocks",
       blocks4k,
       WantedLayout(),
       {},
       "the disk in 1:1 cannot be used: its blocks are not 512 bytes"},
      {"held",
       MirrorLab(),
       OneController(
           Lab(R"({"controller": 0, "volumes": [{"type": "is", "disks": ["1:1", "1:2"]}]})")),
       {},
       "it is a member of volume 0, which the layout does not list (prune is false)"},
      {"limits",
       SasLab(6),
       OneController(Lab(
           R"({"controller": 0, "volumes": [{"type": "im", "disks": ["1:0", "1:1", "1:2"]}]})")),
       {},
       "a im volume takes 2 disks"},
      {"spare without mirror",
       SasLab(6),
       OneController(Lab(R"({"controller": 0, "hot_spares": ["1:5"]})")),
       {},
       "no active IM or IME volume for it to protect"},
      {"destructive",
       MirrorLab(),
       OneController(Lab(R"({"controller": 0, "prune": true})")),
       {"noprompt"},
       "the plan destroys data (delete volume 0 (im on 1:0 (target 0, serial SN1000), 1:1 "
       "(target 1, serial SN1001)), destroying its data); give allowdestroy"},
      {"no entry",
       SasLab(2),
       OneController(Lab(R"({"controller": 3})")),
       {},
       "the layout has no entry for controller 0"},
  };
  for (Refusal r : refusals) {
    if (std::string(r.Name) == "serial")
      r.Layout["controllers"][0]["volumes"][0]["disks"][1]["serial"] = "OTHER";
    const std::string file = WriteLayout(r.Layout);
    std::vector<std::string> args = {"0", "apply", file};
    if (r.Extra.empty()) args.push_back("noprompt");
    args.insert(args.end(), r.Extra.begin(), r.Extra.end());
    VolkitRun apply = RunVolkit(r.Lab, args);
    EXPECT_EQ(apply.status, 1) << r.Name << apply.out << apply.err;
    std::string error = r.Error;
    if (std::string(r.Name) == "serial") error = "has serial SN1001, the layout pins OTHER";
    EXPECT_TRUE(Has(apply.err, error)) << r.Name << "\n" << apply.err;
    EXPECT_EQ(ChangeRequests(apply), 0u) << r.Name;
    if (std::string(r.Name) == "destructive") continue;
    VolkitRun plan = RunVolkit(r.Lab, {"0", "plan", file});
    EXPECT_EQ(plan.status, 1) << r.Name << plan.out;
  }
}

}  // namespace
}  // namespace volkit_test
