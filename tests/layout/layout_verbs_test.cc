// `layout`, `plan` and `apply` through the binary: the round trip on every
// lab, a configuration built from nothing and applied again, and each
// refusal, which changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/layout_test_support.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

json ScsiLab() {
  return Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960, "serial": "S0"},
                {"target": 1, "blocks": 71132960, "serial": "S1"},
                {"target": 2, "blocks": 71132960, "serial": "S2"}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]}}]})");
}

// Two volumes and a spare wanted on six free disks.
json WantedLayout() {
  return OneController(Lab(R"({"controller": 0,
    "volumes": [{"type": "im", "disks": ["1:0", {"disk": "1:1", "serial": "SN1001"}]},
                {"type": "raid0", "disks": [2, "1:3"], "size_mb": 4096}],
    "hot_spares": ["1:4"]})"));
}

TEST(LayoutVerbs, TheLayoutOfEveryLabIsInSyncWithIt) {
  // Two disks that report one bay are named by their target IDs.
  json shared_bay = MirrorLab();
  shared_bay["controllers"][0]["devices"][1]["slot"] = 0;
  const std::vector<json> labs = {
      DefaultLab(), MirrorLab(), ScsiLab(), shared_bay,
      Raid(SasLab(5), R"({"phys_disks": [{"num": 0, "target": 2}, {"num": 1, "target": 4},
          {"num": 2, "target": 0}], "volumes": [{"id": 2, "type": "IME", "members": [0, 1, 2]}]})")};
  for (const json& lab : labs) {
    VolkitRun layout = RunVolkit(lab, {"all", "layout"});
    ASSERT_EQ(layout.status, 0) << layout.err;
    json doc = json::parse(layout.out, nullptr, false);
    ASSERT_FALSE(doc.is_discarded()) << layout.out;
    EXPECT_EQ(doc["volkit_layout_version"], json::array({1, 0}));
    EXPECT_EQ(ChangeRequests(layout), 0u);
    std::string file = WriteLayout(doc);
    VolkitRun plan = RunVolkitAgain(layout, {"all", "plan", file});
    EXPECT_EQ(plan.status, 0) << layout.out << plan.out << plan.err;
    EXPECT_TRUE(Has(plan.out, "controller 0: in sync with the layout\n")) << plan.out;
    EXPECT_EQ(ChangeRequests(plan), 0u);
    VolkitRun apply = RunVolkitAgain(plan, {"all", "apply", file, "noprompt"});
    EXPECT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(ChangeRequests(apply), 0u);
  }
}

TEST(LayoutVerbs, PlanAndAnApplyInSyncAskNoMoreThanJson) {
  VolkitRun layout = RunVolkit(DefaultLab(), {"all", "layout"});
  const std::string file = WriteLayout(json::parse(layout.out));
  const size_t json_requests = RunVolkitAgain(layout, {"all", "json"}).Ioctls().size();
  VolkitRun plan = RunVolkitAgain(layout, {"all", "plan", file});
  VolkitRun apply = RunVolkitAgain(layout, {"all", "apply", file, "noprompt"});
  EXPECT_EQ(plan.status, 0);
  EXPECT_EQ(apply.status, 0);
  EXPECT_LE(plan.Ioctls().size(), json_requests);
  EXPECT_LE(apply.Ioctls().size(), json_requests);
  EXPECT_LE(layout.Ioctls().size(), json_requests);
}

TEST(LayoutVerbs, TheBuiltInLabWritesPlacesAndSerials) {
  VolkitRun run = RunVolkit(DefaultLab(), {"0", "layout"});
  ASSERT_EQ(run.status, 0) << run.err;
  json c = json::parse(run.out)["controllers"][0];
  EXPECT_EQ(c["controller"], 0);
  EXPECT_EQ(c["volumes"][0]["type"], "im");
  EXPECT_EQ(c["volumes"][0]["disks"][0], Lab(R"({"disk": "1:0", "serial": "3LM0A1C0"})"));
  EXPECT_EQ(c["volumes"][0]["size_mb"], 143243672 / 2048 + 0);
  EXPECT_EQ(c["hot_spares"][0]["disk"], "2:1");
  EXPECT_EQ(c["prune"], false);
}

TEST(LayoutVerbs, FromNothingPlanApplyAndApplyAgain) {
  const json lab = SasLab(6);
  const std::string file = WriteLayout(WantedLayout());
  VolkitRun plan = RunVolkit(lab, {"0", "plan", file});
  EXPECT_EQ(plan.status, 4) << plan.err;
  EXPECT_EQ(plan.out,
            "controller 0: 3 actions pending\n"
            "  + create volume im on 1:0 (target 0, serial SN1000), 1:1 (target 1, serial "
            "SN1001), size max\n"
            "  + create volume is on 2 (serial SN1002), 1:3 (target 3, serial SN1003), size 4096 "
            "MB\n"
            "  + add hot spare 1:4 (target 4, serial SN1004)\n");
  EXPECT_EQ(ChangeRequests(plan), 0u);

  VolkitRun json_plan = RunVolkitAgain(plan, {"0", "plan", file, "JSON"});
  EXPECT_EQ(json_plan.status, 4);
  json doc = json::parse(json_plan.out);
  EXPECT_EQ(doc["volkit_plan_version"], json::array({1, 0}));
  const json& c = doc["controllers"][0];
  EXPECT_EQ(c["controller"], 0);
  EXPECT_EQ(c["in_sync"], false);
  ASSERT_EQ(c["actions"].size(), 3u);
  EXPECT_EQ(c["actions"][0]["action"], "create_volume");
  EXPECT_EQ(c["actions"][0]["destructive"], false);
  EXPECT_EQ(c["actions"][0]["size_mb"], "max");
  EXPECT_EQ(c["actions"][0]["disks"][1],
            Lab(R"({"place": "1:1", "target": 1, "serial": "SN1001"})"));
  EXPECT_EQ(c["actions"][1]["size_mb"], 4096);
  EXPECT_EQ(c["actions"][2]["action"], "add_hot_spare");
  EXPECT_EQ(c["actions"][2]["disk"]["place"], "1:4");

  VolkitRun apply = RunVolkitAgain(plan, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
  EXPECT_TRUE(Has(apply.out, "controller 0: in sync with the layout.\n")) << apply.out;
  std::vector<LoggedAction> actions = RaidActions(apply);
  std::vector<int> codes;
  for (const LoggedAction& a : actions) {
    if (a.Action != 1) codes.push_back(a.Action);  // not the re-read's progress reads
  }
  // Two physical disks and a volume, twice; then the spare.
  EXPECT_EQ(codes, (std::vector<int>{13, 13, 2, 13, 13, 2, 13})) << apply.out;

  VolkitRun again = RunVolkitAgain(apply, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(again.status, 0) << again.err;
  // CREATE keeps each member's metadata reserve out of the size asked for;
  // the difference shows as drift and is left alone.
  EXPECT_EQ(again.out,
            "controller 0: in sync with the layout\n"
            "  drift: volume 2: size 3968 MB, the layout says 4096 MB\n"
            "controller 0: nothing to do.\n");
  EXPECT_EQ(ChangeRequests(again), 0u);
}

TEST(LayoutVerbs, PruneWithAllowDestroyDeletesWhatTheLayoutDoesNotList) {
  const std::string file = WriteLayout(OneController(Lab(R"({"controller": 0, "prune": true,
      "volumes": [{"type": "is", "disks": ["1:2"]}]})")));
  json lab = MirrorLab();
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MinDrivesIS", 1}};
  VolkitRun plan = RunVolkit(lab, {"0", "plan", file});
  EXPECT_EQ(plan.status, 4) << plan.err;
  EXPECT_TRUE(
      Has(plan.out, "  + remove hot spare 1:3 (target 3, serial SN1003)\n  ! delete volume 0"))
      << plan.out;
  VolkitRun apply = RunVolkit(lab, {"0", "apply", file, "allowdestroy", "noprompt"});
  EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
  const json& raid = apply.state["controllers"][0]["raid"];
  ASSERT_EQ(raid["volumes"].size(), 1u) << raid.dump();
  EXPECT_EQ(raid["volumes"][0]["type"], 0);
  // No physical disk of the deleted mirror or of the spare is left over.
  EXPECT_EQ(raid["phys_disks"].size(), 1u) << raid.dump();
}

TEST(LayoutVerbs, AFailedActionStopsTheRunWithAReport) {
  const std::string file = WriteLayout(OneController(Lab(R"({"controller": 0,
      "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}], "hot_spares": ["1:2"]})")));
  // The third physical disk is the spare's.
  json lab = SasLab(3);
  lab["faults"] =
      Lab(R"([{"match": {"raid_action": 13}, "effect": {"action_status": 1}, "nth": 3}])");
  VolkitRun spare = RunVolkit(lab, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(spare.status, 1);
  EXPECT_TRUE(Has(spare.out,
                  "controller 0: apply stopped at a failure.\n"
                  "  done: create volume im on 1:0 (target 0, serial SN1000), 1:1 (target 1, "
                  "serial SN1001), size max\n"
                  "  failed: add hot spare 1:2 (target 2, serial SN1002)\n"))
      << spare.out;
  EXPECT_EQ(spare.state["controllers"][0]["raid"]["phys_disks"].size(), 2u);

  // A failed volume build leaves no physical disk behind, and the spare is
  // not attempted.
  lab["faults"] = Lab(R"([{"match": {"raid_action": 2}, "effect": {"action_status": 1}}])");
  VolkitRun build = RunVolkit(lab, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(build.status, 1);
  EXPECT_TRUE(Has(build.out, "  failed: create volume im") &&
              Has(build.out, "  not attempted: add hot spare 1:2"))
      << build.out;
  EXPECT_TRUE(build.state["controllers"][0]
                  .value("raid", json::object())
                  .value("phys_disks", json::array())
                  .empty())
      << build.state["controllers"][0].dump();
}

TEST(LayoutVerbs, TheDialogueGuardsTheChange) {
  const std::string file = WriteLayout(WantedLayout());
  VolkitRun eof = RunVolkit(SasLab(6), {"0", "apply", file});
  EXPECT_EQ(eof.status, 1);
  EXPECT_TRUE(Has(eof.out, "You are about to change the IR configuration of controller 0"))
      << eof.out;
  EXPECT_EQ(ChangeRequests(eof), 0u);
  VolkitRun yes = RunVolkit(SasLab(6), {"0", "apply", file}, "YES\nNO\n");
  EXPECT_EQ(yes.status, 0) << yes.err;
}

TEST(LayoutVerbs, AnInvalidDocumentIsRefusedBeforeTheDriverIsOpened) {
  const std::string file = WriteLayout(OneController(Lab(R"({"controller": 0,
      "volumes": [{"type": "im", "disks": ["1:0", "1:0"]}]})")));
  for (const char* verb : {"plan", "apply"}) {
    VolkitRun run = RunVolkit(SasLab(2), {"0", verb, file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "volkit: layout " + file +
                           ": controllers[0].volumes[0].disks[1]: the drive 1:0 is named twice "
                           "(also at controllers[0].volumes[0].disks[0])!\n");
    EXPECT_TRUE(run.Ioctls().empty());
  }
  VolkitRun json_plan = RunVolkit(SasLab(2), {"0", "plan", file, "json"});
  EXPECT_EQ(json_plan.status, 1);
  json doc = json::parse(json_plan.out);
  EXPECT_EQ(doc["controllers"], json::array());
  EXPECT_TRUE(Has(doc["messages"][0]["text"], "is named twice"));
}

TEST(LayoutVerbs, AnAbsentControllerOrDriverIsExitTwo) {
  const std::string file =
      WriteLayout(Lab(R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 0},
          {"controller": 5}]})"));
  VolkitRun all = RunVolkit(SasLab(2), {"all", "plan", file, "json"});
  EXPECT_EQ(all.status, 2) << all.err;
  json doc = json::parse(all.out);
  EXPECT_EQ(doc["controllers"].size(), 1u);
  EXPECT_EQ(doc["messages"][0]["text"], "controller 5 not found");
  EXPECT_EQ(RunVolkit(SasLab(2), {"5", "apply", file, "noprompt"}).status, 2);
  json no_driver = SasLab(2);
  no_driver["node"] = {{"exists", false}, {"creatable", false}};
  VolkitRun none = RunVolkit(no_driver, {"0", "plan", file, "json"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(json::parse(none.out)["messages"][0]["text"],
            "the driver's control node could not be opened");
}

TEST(LayoutVerbs, AllCoversBothControllersOfTheBuiltInLab) {
  json layout = json::parse(RunVolkit(DefaultLab(), {"all", "layout"}).out);
  ASSERT_EQ(layout["controllers"].size(), 2u);
  // Controller 1 also gets a mirror on its free disks 0 and 1.
  layout["controllers"][1]["volumes"] = Lab(R"([{"type": "im", "disks": [0, 1]}])");
  const std::string file = WriteLayout(layout);
  VolkitRun plan = RunVolkit(DefaultLab(), {"all", "plan", file, "json"});
  EXPECT_EQ(plan.status, 4) << plan.err;
  json doc = json::parse(plan.out);
  EXPECT_EQ(doc["controllers"][0]["in_sync"], true);
  EXPECT_EQ(doc["controllers"][1]["actions"][0]["action"], "create_volume");
  VolkitRun apply = RunVolkitAgain(plan, {"all", "apply", file, "noprompt"});
  EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
  VolkitRun again = RunVolkitAgain(apply, {"all", "plan", file});
  EXPECT_EQ(again.status, 0) << again.out;
}

}  // namespace
}  // namespace volkit_test
