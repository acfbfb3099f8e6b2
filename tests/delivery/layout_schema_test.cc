// The layout and plan documents against their shipped JSON Schemas, checked
// by the real validator of Debian's python3-jsonschema (draft 7).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "delivery/source_tree.h"
#include "layout/layout_test_support.h"
#include "support/lab.h"
#include "support/run_program.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

std::string Validate(const std::string& schema, const std::string& document) {
  const std::string dir = MakeScratchDir();
  std::ofstream(dir + "/document.json") << document;
  const std::string script =
      "import json, sys, jsonschema\n"
      "schema = json.load(open(sys.argv[1]))\n"
      "jsonschema.Draft7Validator.check_schema(schema)\n"
      "jsonschema.Draft7Validator(schema).validate(json.load(open(sys.argv[2])))\n";
  VolkitRun check = RunProgram({"/usr/bin/python3", "-c", script,
                                std::string(VOLKIT_SOURCE_DIR) + "/docs/" + schema,
                                dir + "/document.json"});
  return check.status == 0 ? "" : check.err;
}

TEST(LayoutSchemas, PrintedLayoutsAndTheManualsExampleAreValid) {
  VolkitRun layout = RunVolkit(DefaultLab(), {"all", "layout"});
  ASSERT_EQ(layout.status, 0);
  EXPECT_EQ(Validate("volkit-layout.schema.json", layout.out), "");
  const std::string example = R"({ "volkit_layout_version": [1, 0],
    "controllers": [ { "controller": 0,
      "volumes": [ {"type": "im", "disks": ["1:2", {"disk": "1:3", "serial": "3LM0A1C3"}],
                    "size_mb": "max", "qsync": false} ],
      "hot_spares": ["1:9"], "prune": false } ] })";
  EXPECT_EQ(Validate("volkit-layout.schema.json", example), "");
  // The schema refuses what volkit refuses.
  EXPECT_NE(Validate("volkit-layout.schema.json",
                     R"({"volkit_layout_version": [1, 0], "controllers": [{"controller": 0,
                         "volumes": [{"type": "raid5", "disks": ["1:2"]}]}]})"),
            "");
}

TEST(LayoutSchemas, PlanDocumentsAreValid) {
  const std::string file = WriteLayout(OneController(Lab(R"({"controller": 0, "prune": true,
      "volumes": [{"type": "is", "disks": ["1:2", 3]}], "hot_spares": ["1:4"]})")));
  json lab = SasLab(5);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  VolkitRun pending = RunVolkit(lab, {"0", "plan", file, "json"});
  EXPECT_EQ(pending.status, 1) << pending.out;  // the spare would protect no mirror
  EXPECT_EQ(Validate("volkit-plan.schema.json", pending.out), "");
  VolkitRun absent = RunVolkit(lab, {"1", "plan", file, "json"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_EQ(Validate("volkit-plan.schema.json", absent.out), "");
  json swap = json::parse(pending.out);
  swap["controllers"][0]["actions"].push_back(
      {{"action", "add_hot_spare"},
       {"destructive", false},
       {"disk", {{"place", "1:1"}, {"target", 1}, {"serial", "X"}}},
       {"in_place_of", {{"place", "1:9"}, {"target", 9}, {"serial", nullptr}}},
       {"volume_id", 0},
       {"text", "add hot spare ..."}});
  EXPECT_EQ(Validate("volkit-plan.schema.json", swap.dump()), "");
}

}  // namespace
}  // namespace volkit_test
