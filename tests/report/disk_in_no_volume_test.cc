// A failed disk the hot spare replaced stays in the controller, in no
// volume, until someone pulls it: health, json and metrics must keep saying
// so once the mirror is whole again, and must not claim it when they could
// not read where it belongs.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/lab.h"
#include "support/prometheus_check.h"
#include "support/run_program.h"
#include "support/spare_takeover.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const char kReason[] =
    "controller 0 physical disk 1 (target 1) failed, in no volume: replace the disk";

std::string SchemaProblems(const VolkitRun& run) {
  const std::string schema = SourceTreePath("docs/volkit-json.schema.json");
  std::ofstream(run.dir + "/document.json") << run.out;
  const std::string validate =
      "import json, sys, jsonschema\n"
      "jsonschema.Draft7Validator(json.load(open(sys.argv[1])))"
      ".validate(json.load(open(sys.argv[2])))\n";
  VolkitRun check =
      RunProgram({"/usr/bin/python3", "-c", validate, schema, run.dir + "/document.json"});
  return check.status == 0 ? "" : check.err;
}

TEST(DiskInNoVolume, WarnsAfterTheSpareTookOverAndTheResyncEnded) {
  const VolkitRun resynced = SpareTookOverAndResynced();

  VolkitRun health = RunVolkitAgain(resynced, {"0", "health"});
  EXPECT_EQ(health.status, 1) << health.out << health.err;
  EXPECT_EQ(health.out, std::string("VOLKIT WARNING - ") + kReason +
                            " | volumes=1 optimal=1 degraded=0 failed=0 failed_disks=1"
                            " hot_spares=0\n");

  VolkitRun run = RunVolkitAgain(resynced, {"0", "json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(SchemaProblems(run), "");
  json doc = json::parse(run.out);
  EXPECT_EQ(doc["json_format_version"], json::array({1, 1}));
  EXPECT_EQ(doc["health"]["reasons"], json::array({kReason}));
  EXPECT_EQ(doc["controllers"][0]["physical_disks"], json::parse(R"([
      {"physical_disk": 0, "target": 0, "state": "online", "volume_id": 0, "hot_spare": false},
      {"physical_disk": 1, "target": 1, "state": "failed", "volume_id": null, "hot_spare": false},
      {"physical_disk": 2, "target": 9, "state": "online", "volume_id": 0, "hot_spare": false}
  ])"));

  run = RunVolkitAgain(resynced, {"0", "metrics"});
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectWellFormedExposition(run.out);
  ExpectStateSetsHoldOneOne(run.out, "volkit_physical_disk_state");
  VolkitRun promtool = PromtoolCheck(run.out);
  EXPECT_EQ(promtool.status, 0) << promtool.out << promtool.err;
  EXPECT_EQ(SeriesValue(run.out,
                        "volkit_physical_disk_state{controller=\"0\",physical_disk=\"1\","
                        "target=\"1\",role=\"none\",state=\"failed\"}"),
            "1");
  EXPECT_EQ(SeriesValue(run.out,
                        "volkit_physical_disk_state{controller=\"0\",physical_disk=\"2\","
                        "target=\"9\",role=\"member\",state=\"online\"}"),
            "1");
}

// Disk 2 failed in no volume beside a mirror and a hot spare.
json LeftOverLab() {
  json lab = SasLab(4);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "state": 3},
                   {"num": 3, "target": 3, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

TEST(DiskInNoVolume, EachFailedClassStateButOnlyOutsideVolumesAndSpares) {
  for (int code : {1, 2, 3, 5, 6, 0xFF}) {
    json lab = LeftOverLab();
    lab["controllers"][0]["raid"]["phys_disks"][2]["state"] = code;
    VolkitRun run = RunVolkit(lab, {"0", "health"});
    EXPECT_EQ(run.status, 1) << code << run.out;
    EXPECT_EQ(run.out.rfind("VOLKIT WARNING - controller 0 physical disk 2 (target 2) ", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find(", in no volume: replace the disk | "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" failed_disks=1 hot_spares=1\n"), std::string::npos) << run.out;
  }
  // An online disk in no volume is merely unused.
  json unused = LeftOverLab();
  unused["controllers"][0]["raid"]["phys_disks"][2].erase("state");
  VolkitRun run = RunVolkit(unused, {"0", "health"});
  EXPECT_EQ(run.status, 0) << run.out;
  run = RunVolkit(unused, {"0", "metrics"});
  EXPECT_EQ(SeriesValue(run.out,
                        "volkit_physical_disk_state{controller=\"0\",physical_disk=\"3\","
                        "target=\"3\",role=\"hot_spare\",state=\"hot_spare\"}"),
            "1");
  EXPECT_EQ(SeriesValue(run.out,
                        "volkit_physical_disk_state{controller=\"0\",physical_disk=\"2\","
                        "target=\"2\",role=\"none\",state=\"online\"}"),
            "1");
}

TEST(DiskInNoVolume, NotClaimedWhenAVolumeOrTheListCouldNotBeRead) {
  // The volume page unread: disk 2 may be that volume's, so only UNKNOWN.
  json lab = LeftOverLab();
  lab["faults"] = Lab(R"([{"match": {"page": "RaidVolPg0"}, "effect": {"ioc_status": 34}}])");
  VolkitRun run = RunVolkit(lab, {"0", "json"});
  EXPECT_EQ(run.status, 1) << run.err;
  json doc = json::parse(run.out);
  EXPECT_EQ(doc["health"]["state"], "unknown");
  EXPECT_EQ(doc["health"]["reasons"],
            json::array({"controller 0 could not be read completely: volume 0"}));
  EXPECT_EQ(doc["controllers"][0]["physical_disks"][2]["state"], "failed");
  EXPECT_EQ(doc["controllers"][0]["physical_disks"][2]["volume_id"], nullptr);
  EXPECT_EQ(SchemaProblems(run), "");

  // The list unread: incomplete, never OK.
  lab["faults"] = Lab(R"([{"match": {"page": "IocPg3"}, "effect": {"ioc_status": 34}}])");
  run = RunVolkit(lab, {"0", "health"});
  EXPECT_EQ(run.status, 3) << run.out;
  EXPECT_EQ(run.out,
            "VOLKIT UNKNOWN - controller 0 could not be read completely: the physical disk list\n");
  run = RunVolkit(lab, {"0", "json"});
  doc = json::parse(run.out);
  EXPECT_EQ(doc["controllers"][0]["complete"], false);
  EXPECT_EQ(doc["controllers"][0]["physical_disks"], json::array());
  EXPECT_EQ(doc["volkit"]["messages"][0]["text"],
            "controller 0: could not read the physical disk list");
}

TEST(DiskInNoVolume, EveryDiskPageReadOnce) {
  VolkitRun run = RunVolkit(LeftOverLab(), {"0", "json"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Config page requests (function 4) for IocPg3 (type 1, number 3) and
  // data reads (action 1) of RaidPhysDiskPg0 (type 0x0A) by disk number.
  size_t list_reads = 0;
  std::map<std::string, int> disk_reads;
  for (const json& line : run.Ioctls(0x04)) {
    std::string frame = FrameHex(line, 28);
    if (frame.substr(46, 2) == "01" && frame.substr(44, 2) == "03" && frame.substr(0, 2) == "01") {
      ++list_reads;
    }
    if (frame.substr(46, 2) == "0a" && frame.substr(0, 2) == "01")
      ++disk_reads[frame.substr(48, 8)];
  }
  EXPECT_EQ(list_reads, 1u);
  EXPECT_EQ(disk_reads.size(), 4u);
  for (const auto& [address, reads] : disk_reads) EXPECT_EQ(reads, 1) << address;
}

}  // namespace
}  // namespace volkit_test
