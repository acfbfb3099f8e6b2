// SETOFFLINE, SETONLINE and REBUILD on a SAS lab of 96 disks in two
// enclosures with DeviceLimit 128 and four volumes, each command naming a
// member of the last volume, so that the member scan reads every volume.
#include <nlohmann/json.hpp>

#include "bench_support.h"

namespace {

using nlohmann::json;

constexpr int kDisks = 96;
constexpr int kPerEnclosure = 48;

// `offline_disk`: a physical disk that starts offline (-1: none).
std::string MemberLab(const std::string& name, int offline_disk) {
  json devices = json::array();
  for (int t = 0; t < kDisks; ++t) {
    devices.push_back({{"target", t},
                       {"enclosure", 1 + t / kPerEnclosure},
                       {"slot", t % kPerEnclosure},
                       {"serial", "MS" + std::to_string(7000 + t)},
                       {"blocks", 143374744}});
  }
  json phys_disks = json::array();
  for (int n = 0; n < 12; ++n) {
    json pd = {{"num", n}, {"target", kDisks - 12 + n}};
    if (n == offline_disk) pd["state"] = 5;
    phys_disks.push_back(pd);
  }
  json volumes = json::array({
      {{"id", 0}, {"type", "IM"}, {"members", {0, 1}}},
      {{"id", 2}, {"type", "IS"}, {"members", {2, 3}}},
      {{"id", 4}, {"type", "IM"}, {"members", {4, 5}}},
      {{"id", 6}, {"type", "IME"}, {"members", {6, 7, 8, 9, 10, 11}}},
  });
  json controller = {
      {"number", 0},
      {"pci", {{"device_id", "0x54"}}},
      {"port_facts", {{"device_limit", 128}}},
      {"pages",
       {{"IocPg2", {{"MaxVolumes", 4}, {"MaxPhysDisks", 12}}}, {"IocPg6", {{"MaxDrivesIME", 8}}}}},
      {"enclosures", json::array({{{"num_slots", kPerEnclosure}}, {{"num_slots", kPerEnclosure}}})},
      {"devices", devices},
      {"raid", {{"phys_disks", phys_disks}, {"volumes", volumes}}},
  };
  json lab = {{"controllers", json::array({controller})}};
  std::string path = BenchDirectory(name) + "/lab.json";
  WriteTextFile(path, lab.dump(1));
  return path;
}

// Physical disk 11 is target 95, bay 47 of enclosure 2.
void BM_SetOffline(benchmark::State& state) {
  const std::string lab = MemberLab("setoffline-lab", -1);
  MeasureCommand(state, BenchDirectory("setoffline"), lab, {"0", "setoffline", "2:47"});
}
BENCHMARK(BM_SetOffline)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_SetOnline(benchmark::State& state) {
  const std::string lab = MemberLab("setonline-lab", 11);
  MeasureCommand(state, BenchDirectory("setonline"), lab, {"0", "setonline", "2:47"});
}
BENCHMARK(BM_SetOnline)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Rebuild(benchmark::State& state) {
  const std::string lab = MemberLab("rebuild-lab", -1);
  MeasureCommand(state, BenchDirectory("rebuild"), lab, {"0", "rebuild", "6"});
}
BENCHMARK(BM_Rebuild)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
