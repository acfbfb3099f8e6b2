// A fault in any single request of CREATE, AUTO, DELETE or HOTSPARE: never a
// crash, never a failure reported as success, never an orphan physical disk.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

size_t Count(const VolkitRun& run, const char* key) {
  const json& controller = run.state.at("controllers").at(0);
  if (!controller.contains("raid")) return 0;
  return controller["raid"].value(key, json::array()).size();
}

// Physical disks outside every volume and every hot-spare pool.
size_t Orphans(const VolkitRun& run) {
  const json& controller = run.state.at("controllers").at(0);
  if (!controller.contains("raid")) return 0;
  std::set<int> members;
  for (const json& v : controller["raid"].value("volumes", json::array())) {
    for (const json& m : v["members"])
      members.insert(m.is_object() ? m["num"].get<int>() : m.get<int>());
  }
  size_t orphans = 0;
  for (const json& pd : controller["raid"].value("phys_disks", json::array())) {
    if (pd.value("hot_spare_pool", 0) == 0 && !members.count(pd["num"].get<int>())) ++orphans;
  }
  return orphans;
}

constexpr const char* kRefused = R"({"ioc_status": "0x0004"})";
constexpr const char* kNoReply = R"({"no_reply": true})";

// Runs `args` once cleanly, then once for every pass-through request with
// that request refused by the firmware, and once with it carried out but
// left without a reply (or only with the `effects` given).
template <typename Check>
void SweepFaults(const json& lab, const std::vector<std::string>& args, Check check,
                 const std::vector<const char*>& effects = {kRefused, kNoReply}) {
  const size_t requests = RunVolkit(lab, args).Ioctls().size();
  ASSERT_GT(requests, 10u);
  for (const char* effect : effects) {
    for (size_t k = 1; k <= requests; ++k) {
      json faulty = lab;
      faulty["faults"] = json::array(
          {{{"match", {{"request", "passthrough"}}}, {"nth", k}, {"effect", Lab(effect)}}});
      VolkitRun run = RunVolkit(faulty, args);
      SCOPED_TRACE(std::string(effect) + " on request " + std::to_string(k) + "\n" + run.out +
                   run.err);
      ASSERT_TRUE(run.status == 0 || run.status == 1) << run.status;
      check(run);
    }
  }
}

TEST(CreateFaults, MirrorAndStripeNeverLeaveOrphans) {
  for (const char* type : {"im", "is"}) {
    SweepFaults(SasLab(2), {"0", "create", type, "max", "0", "1", "noprompt"},
                [](const VolkitRun& run) {
                  EXPECT_EQ(Count(run, "volumes"), run.status == 0 ? 1u : 0u);
                  EXPECT_EQ(Count(run, "phys_disks"), run.status == 0 ? 2u : 0u);
                });
  }
}

// AUTO on two disks and a scan of two targets, one effect at a time, which
// keeps each sweep short; IS goes to the same builder as IME.
void SweepAuto(const char* type, const char* effect) {
  json lab = SasLab(2);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 2}};
  SweepFaults(lab, {"0", "auto", type, "max", "noprompt"},
              [](const VolkitRun& run) {
                EXPECT_EQ(Count(run, "volumes"), run.status == 0 ? 1u : 0u);
                EXPECT_EQ(Orphans(run), 0u);
                if (run.status == 1) {
                  EXPECT_EQ(Count(run, "phys_disks"), 0u);
                }
              },
              {effect});
}

TEST(CreateFaults, AutoMirrorRefusedRequestLeavesNoOrphan) { SweepAuto("im", kRefused); }
TEST(CreateFaults, AutoMirrorUnansweredRequestLeavesNoOrphan) { SweepAuto("im", kNoReply); }
TEST(CreateFaults, AutoStripeRefusedRequestLeavesNoOrphan) { SweepAuto("is", kRefused); }
TEST(CreateFaults, AutoStripeUnansweredRequestLeavesNoOrphan) { SweepAuto("is", kNoReply); }

// Mirror 0 on targets 0 and 1; target 2 free, target 3 a hot spare.
json HotSpareLab() {
  json lab = SasLab(4);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 3, "target": 3, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

void SweepHotSpareCreate(const char* effect) {
  SweepFaults(HotSpareLab(), {"0", "hotspare", "2"},
              [](const VolkitRun& run) {
                EXPECT_EQ(Count(run, "phys_disks"), run.status == 0 ? 4u : 3u);
                EXPECT_EQ(Orphans(run), 0u);
              },
              {effect});
}

TEST(CreateFaults, HotSpareCreatedOnlyWhenReportedDespiteARefusal) {
  SweepHotSpareCreate(kRefused);
}
TEST(CreateFaults, HotSpareCreatedOnlyWhenReportedDespiteNoReply) { SweepHotSpareCreate(kNoReply); }

TEST(CreateFaults, HotSpareDeletedOnlyWhenReported) {
  SweepFaults(HotSpareLab(), {"0", "hotspare", "delete", "3"}, [](const VolkitRun& run) {
    EXPECT_EQ(Count(run, "phys_disks"), run.status == 0 ? 2u : 3u);
  });
}

TEST(CreateFaults, DeleteReportsWhatItCouldNotRemove) {
  json lab = SasLab(3);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  SweepFaults(lab, {"0", "delete", "noprompt"}, [](const VolkitRun& run) {
    if (run.status == 0) {
      EXPECT_EQ(Count(run, "volumes") + Count(run, "phys_disks"), 0u);
    } else if (run.out.find("volkit: Volume delete failed.\n") == std::string::npos) {
      EXPECT_EQ(Count(run, "phys_disks"), 3u);  // set-up failed before anything was sent
    }
  });
}

}  // namespace
}  // namespace volkit_test
