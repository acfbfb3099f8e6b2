// DISPLAY, STATUS, the json document, plan and an apply with nothing to do
// on a large SAS lab: 110 disks behind two expanders in
// two enclosures, five volumes (one resynchronising) and two hot spares,
// with DeviceLimit 128 so that every target ID up to 127 is scanned.
#include <nlohmann/json.hpp>

#include "bench_support.h"

namespace {

using nlohmann::json;

constexpr int kDisks = 110;

json LargeLab() {
  json devices = json::array();
  devices.push_back({{"handle", 200}, {"kind", "expander"}, {"phy", 0}});
  devices.push_back({{"handle", 201}, {"kind", "expander"}, {"phy", 4}});
  for (int t = 0; t < kDisks; ++t) {
    bool sata = t >= 15 && t % 5 == 0;
    json disk = {{"handle", 10 + t},
                 {"target", t},
                 {"parent", t < 64 ? 200 : 201},
                 {"phy", t % 64},
                 {"enclosure", t < 64 ? 1 : 2},
                 {"slot", t % 64},
                 {"protocol", sata ? "sata" : "sas"},
                 {"vendor", sata ? "ATA" : "ORBITAL"},
                 {"product", sata ? "MERIDIAN MD500S" : "OD146SAS10K"},
                 {"revision", "0007"},
                 {"serial", "BENCH" + std::to_string(1000 + t)},
                 {"blocks", 286749488}};
    if (t % 17 == 16) disk["ssd"] = true;
    devices.push_back(disk);
  }
  json phys_disks = json::array();
  for (int n = 0; n < 13; ++n) {
    json pd = {{"num", n}, {"target", n}};
    if (n >= 11) pd["hot_spare_pool"] = 1;
    phys_disks.push_back(pd);
  }
  json volumes = json::array({
      {{"id", 0},
       {"type", "IM"},
       {"members", {0, 1}},
       {"state", 1},
       {"resync", {{"total", 286000000}, {"remaining", 143000000}, {"step", 0}}}},
      {{"id", 2}, {"type", "IME"}, {"members", {2, 3, 4}}},
      {{"id", 5}, {"type", "IS"}, {"members", {5, 6}}},
      {{"id", 7}, {"type", "IM"}, {"members", {7, 8}}},
      {{"id", 9}, {"type", "IM"}, {"members", {9, 10}}},
  });
  json controller = {
      {"number", 0},
      {"pci", {{"device_id", "0x54"}, {"bus", 3}}},
      {"port_facts", {{"device_limit", 128}, {"initiator_id", 127}}},
      {"pages",
       {{"IocPg2", {{"MaxVolumes", 8}, {"MaxPhysDisks", 30}}},
        {"IocPg6", {{"MaxDrivesIME", 10}, {"MaxHotSpares", 4}}}}},
      {"enclosures",
       {{{"handle", 1}, {"num_slots", 64}, {"start_target", 0}},
        {{"handle", 2}, {"num_slots", 64}, {"start_target", 64}}}},
      {"devices", devices},
      {"raid", {{"phys_disks", phys_disks}, {"volumes", volumes}}},
  };
  return {{"controllers", {controller}}};
}

const std::string& LabPath() {
  static const std::string path = [] {
    std::string p = BenchDirectory("reports") + "/large-lab.json";
    WriteTextFile(p, LargeLab().dump(1));
    return p;
  }();
  return path;
}

void BM_Display(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("display"), LabPath(), {"0", "display"});
}
BENCHMARK(BM_Display)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The same state as DISPLAY reports it, read for the json document.
void BM_Json(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("json"), LabPath(), {"0", "json"});
}
BENCHMARK(BM_Json)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The same snapshot again, written as the monitoring plugin line and as
// Prometheus metrics: the writers must add nothing to the reading's cost.
void BM_Health(benchmark::State& state) {
  // The lab's mirror resynchronises: WARNING, the plugin status 1.
  MeasureCommand(state, BenchDirectory("health"), LabPath(), {"0", "health"}, 1);
}
BENCHMARK(BM_Health)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Metrics(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("metrics"), LabPath(), {"0", "metrics"});
}
BENCHMARK(BM_Metrics)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Status(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("status"), LabPath(), {"0", "status"});
}
BENCHMARK(BM_Status)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The large lab's own configuration as a layout: `plan` must ask no more
// than `json` reads, and so must `apply` when there is nothing to do.
const std::string& LayoutPath() {
  static const std::string path = [] {
    json layout = {{"volkit_layout_version", {1, 0}},
                   {"controllers",
                    {{{"controller", 0},
                      {"volumes",
                       {{{"type", "im"}, {"disks", {"1:0", "1:1"}}},
                        {{"type", "ime"}, {"disks", {"1:2", "1:3", "1:4"}}},
                        {{"type", "is"}, {"disks", {"1:5", "1:6"}}},
                        {{"type", "im"}, {"disks", {"1:7", "1:8"}}},
                        {{"type", "im"}, {"disks", {"1:9", "1:10"}}}}},
                      {"hot_spares", {"1:11", "1:12"}}}}}};
    std::string p = BenchDirectory("reports") + "/large-layout.json";
    WriteTextFile(p, layout.dump(1));
    return p;
  }();
  return path;
}

void BM_Plan(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("plan"), LabPath(), {"0", "plan", LayoutPath()});
}
BENCHMARK(BM_Plan)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ApplyInSync(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("apply"), LabPath(),
                 {"0", "apply", LayoutPath(), "noprompt"});
}
BENCHMARK(BM_ApplyInSync)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
