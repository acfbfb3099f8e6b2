// health and metrics through the binary under vxtsim: the plugin line and
// status of each state, the metric values, `all`, and the metrics file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/lab.h"
#include "support/prometheus_check.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

json MirrorLab(int disks) {
  json lab = SasLab(disks);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

// The metrics of a run, checked by promtool and by our own rules.
std::string CheckedMetrics(const VolkitRun& run) {
  ExpectWellFormedExposition(run.out);
  VolkitRun check = PromtoolCheck(run.out);
  EXPECT_EQ(check.status, 0) << check.out << check.err << run.out;
  for (const char* family : {"volkit_volume_state", "volkit_disk_state"}) {
    if (run.out.find(family) != std::string::npos) ExpectStateSetsHoldOneOne(run.out, family);
  }
  return run.out;
}

std::string VolumeState(const std::string& metrics, const char* state) {
  return SeriesValue(
      metrics,
      std::string("volkit_volume_state{controller=\"0\",volume=\"0\",state=\"") + state + "\"}");
}

TEST(MonitorVerbs, BuiltInLabResyncsThenTheSpareTakesOverThenNoneIsLeft) {
  VolkitRun run = RunVolkit(DefaultLab(), {"all", "health"});
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_EQ(run.out.rfind("VOLKIT WARNING - controller 0 volume 0 (IM) resyncing ", 0), 0u)
      << run.out;
  EXPECT_NE(FirstLine(run.out).find(" | volumes=1 optimal=0 degraded=1 failed=0 failed_disks=0 "
                                    "hot_spares=1 resync_c0_v0="),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.err, "");
  // Both controllers, the parallel SCSI one too.
  std::string metrics = CheckedMetrics(RunVolkit(DefaultLab(), {"all", "metrics"}));
  EXPECT_EQ(SeriesValue(metrics, "volkit_volume_resync_active{controller=\"0\",volume=\"0\"}"),
            "1");
  EXPECT_NE(metrics.find("volkit_controller_info{controller=\"1\",model=\"Wren\","),
            std::string::npos);

  VolkitRun failed = RunVxtsim(DefaultLab(), {"fail", "0:1"});
  ASSERT_EQ(failed.status, 0) << failed.err;
  run = RunVolkitAgain(failed, {"all", "health"});
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(run.out.rfind("VOLKIT WARNING - controller 0 volume 0 (IM) resyncing ", 0), 0u)
      << run.out;
  EXPECT_NE(run.out.find(" hot_spares=0 "), std::string::npos) << run.out;

  // The spare, now resynchronising as a member, fails too; the first failed
  // disk is still there, in no volume.
  ASSERT_EQ(RunLauncher({"--state", failed.dir + "/state.json", "fail", "0:9"}).status, 0);
  run = RunVolkitAgain(failed, {"all", "health"});
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_EQ(FirstLine(run.out),
            "VOLKIT CRITICAL - controller 0 volume 0 (IM) degraded, controller 0 target 9 failed,"
            " controller 0 physical disk 1 (target 1) failed, in no volume: replace the disk"
            " | volumes=1 optimal=0 degraded=1 failed=0 failed_disks=2 hot_spares=0");
  metrics = CheckedMetrics(RunVolkitAgain(failed, {"all", "metrics"}));
  EXPECT_EQ(VolumeState(metrics, "degraded"), "1");
  EXPECT_EQ(
      SeriesValue(metrics, "volkit_disk_state{controller=\"0\",target=\"9\",state=\"failed\"}"),
      "1");
  EXPECT_EQ(SeriesValue(metrics, "volkit_volume_resync_active{controller=\"0\",volume=\"0\"}"),
            "0");
}

TEST(MonitorVerbs, EachStateGivesItsLineStatusAndMetrics) {
  struct Case {
    const char* name;
    json lab;
    int status;
    const char* prefix;
    const char* volume_state;
  };
  json failed_volume = MirrorLab(2);
  failed_volume["controllers"][0]["raid"]["volumes"][0]["state"] = 2;
  json smart = MirrorLab(2);
  smart["controllers"][0]["raid"]["phys_disks"][1]["smart"] = {{"count", 3}};
  json inactive = MirrorLab(2);
  inactive["controllers"][0]["raid"]["volumes"][0]["inactive"] = true;
  const Case cases[] = {
      {"optimal", MirrorLab(2), 0, "VOLKIT OK - 1 volume optimal on 1 controller | volumes=1 ",
       "optimal"},
      {"failed", failed_volume, 2, "VOLKIT CRITICAL - controller 0 volume 0 (IM) failed | ",
       "failed"},
      {"smart", smart, 1, "VOLKIT WARNING - controller 0 target 1 reports 3 SMART errors | ",
       "optimal"},
      {"inactive", inactive, 1, "VOLKIT WARNING - controller 0 volume 0 (IM) inactive | ",
       "optimal"},
  };
  for (const Case& c : cases) {
    VolkitRun run = RunVolkit(c.lab, {"0", "health"});
    EXPECT_EQ(run.status, c.status) << c.name << run.out << run.err;
    EXPECT_EQ(run.out.rfind(c.prefix, 0), 0u) << c.name << run.out;
    std::string metrics = CheckedMetrics(RunVolkit(c.lab, {"0", "metrics"}));
    EXPECT_EQ(VolumeState(metrics, c.volume_state), "1") << c.name;
    EXPECT_EQ(SeriesValue(metrics, "volkit_collect_success{controller=\"0\"}"), "1") << c.name;
  }
  std::string metrics = CheckedMetrics(RunVolkit(smart, {"0", "metrics"}));
  EXPECT_EQ(SeriesValue(metrics, "volkit_disk_predictive_failure{controller=\"0\",target=\"1\"}"),
            "1");
  metrics = CheckedMetrics(RunVolkit(inactive, {"0", "metrics"}));
  EXPECT_EQ(SeriesValue(metrics, "volkit_volume_inactive{controller=\"0\",volume=\"0\"}"), "1");
}

TEST(MonitorVerbs, AllTakesTheWorstControllerAndUnknownWhenNothingIsRead) {
  json lab = MirrorLab(2);
  json second = MirrorLab(3)["controllers"][0];
  second["number"] = 2;
  lab["controllers"].push_back(second);
  VolkitRun failed = RunVxtsim(lab, {"fail", "2:1"});
  ASSERT_EQ(failed.status, 0) << failed.err;
  VolkitRun run = RunVolkitAgain(failed, {"ALL", "HEALTH"});
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_EQ(run.out.rfind("VOLKIT CRITICAL - controller 2 volume 0 (IM) degraded, ", 0), 0u)
      << run.out;
  EXPECT_EQ(RunVolkitAgain(failed, {"0", "health"}).status, 0);

  run = RunVolkit(lab, {"5", "health"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "VOLKIT UNKNOWN - controller 5 not found\n");
  json unloaded = lab;
  unloaded["node"] = {{"driver_loaded", false}};
  run = RunVolkit(unloaded, {"all", "health"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out.rfind("VOLKIT UNKNOWN - ", 0), 0u) << run.out;
  run = RunVolkit(unloaded, {"all", "metrics"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(SeriesValue(CheckedMetrics(run), "volkit_collect_success"), "0");

  // A read that fails leaves the controller unknown, never healthy.
  json faulty = MirrorLab(2);
  faulty["faults"] = Lab(R"([{"match": {"page": "IocPg2"}, "effect": {"ioc_status": 34}}])");
  run = RunVolkit(faulty, {"0", "health"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out.rfind("VOLKIT UNKNOWN - controller 0 could not be read completely", 0), 0u)
      << run.out;
  run = RunVolkit(faulty, {"0", "metrics"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(SeriesValue(CheckedMetrics(run), "volkit_collect_success{controller=\"0\"}"), "0");
  EXPECT_EQ(SeriesValue(run.out, "volkit_hot_spares{controller=\"0\"}"), "")
      << "a half-read controller shows only its failure:\n"
      << run.out;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MonitorVerbs, MetricsFileIsReplacedWhole) {
  std::string dir = MakeScratchDir() + "/textfile";
  std::filesystem::create_directory(dir);
  std::string file = dir + "/volkit.prom";
  std::ofstream(file) << "old\n";
  VolkitRun run = RunVolkit(MirrorLab(2), {"all", "metrics", file});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"volkit.prom"});
  std::stringstream written;
  written << std::ifstream(file).rdbuf();
  ExpectWellFormedExposition(written.str());
  EXPECT_EQ(SeriesValue(written.str(), "volkit_collect_success{controller=\"0\"}"), "1");
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // An unwritable directory: a clear message, a failing status, the old
  // file untouched and no temporary file left.
  std::ofstream(file) << "old\n";
  chmod(dir.c_str(), 0555);
  run = RunVolkit(MirrorLab(2), {"all", "metrics", file});
  chmod(dir.c_str(), 0755);
  if (geteuid() != 0) {
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.err, "volkit: cannot write the metrics to " + file + ": Permission denied!\n");
    std::stringstream kept;
    kept << std::ifstream(file).rdbuf();
    EXPECT_EQ(kept.str(), "old\n");
  }
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"volkit.prom"});

  // A failure as late as the rename (a directory in the file's place, which
  // also stops root) still removes the temporary file.
  std::string blocked = dir + "/blocked.prom";
  std::filesystem::create_directory(blocked);
  std::ofstream(blocked + "/keep") << "kept\n";
  run = RunVolkit(MirrorLab(2), {"all", "metrics", blocked});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "volkit: cannot write the metrics to " + blocked + ": rename: Is a directory!\n");
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{"blocked.prom", "volkit.prom"}));
  EXPECT_EQ(Entries(blocked), std::vector<std::string>{"keep"});

  run = RunVolkit(MirrorLab(2), {"0", "metrics", dir + "/missing/volkit.prom"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: cannot write the metrics to " + dir +
                         "/missing/volkit.prom: No such file or directory!\n");
}

TEST(MonitorVerbs, CommandLinesRefused) {
  VolkitRun run = RunVolkit(SasLab(1), {"0", "health", "extra"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("volkit: too many command arguments!\n  volkit <controller #> HEALTH\n"),
            std::string::npos)
      << run.err;
  run = RunVolkit(SasLab(1), {"all", "metrics", "a.prom", "b.prom"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("  volkit ALL METRICS [<file>]\n"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace volkit_test
