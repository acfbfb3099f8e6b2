// HOTSPARE create and delete, and AUTO (IM and IS), on a SAS lab of 110
// disks in four enclosures with DeviceLimit 128.  The HOTSPARE labs hold a
// mirror to protect; AUTO scans every target of a controller without volumes.
#include <nlohmann/json.hpp>

#include "bench_support.h"

namespace {

using nlohmann::json;

constexpr int kDisks = 110;
constexpr int kPerEnclosure = 28;

json Lab(const json& raid) {
  return LargeSasLab(
      kDisks, kPerEnclosure, "HS",
      {{"IocPg2", {{"MaxPhysDisks", 30}}}, {"IocPg6", {{"MaxDrivesIS", 10}, {"MaxHotSpares", 4}}}},
      raid);
}

const std::string& WriteLab(const std::string& name, const json& lab) {
  return WriteLabOnce(name, lab.dump(1));
}

json Mirror(bool with_spare) {
  json disks = {{{"num", 0}, {"target", 0}}, {{"num", 1}, {"target", 1}}};
  if (with_spare) disks.push_back({{"num", 2}, {"target", kDisks - 1}, {"hot_spare_pool", 1}});
  return {{"phys_disks", disks}, {"volumes", {{{"id", 0}, {"type", "IM"}, {"members", {0, 1}}}}}};
}

void BM_HotSpareCreate(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("hotspare-create"), WriteLab("hs-lab", Lab(Mirror(false))),
                 {"0", "hotspare", "4:25"});
}
BENCHMARK(BM_HotSpareCreate)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_HotSpareDelete(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("hotspare-delete"),
                 WriteLab("hs-delete-lab", Lab(Mirror(true))),
                 {"0", "hotspare", "delete", std::to_string(kDisks - 1)});
}
BENCHMARK(BM_HotSpareDelete)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_AutoIM(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("auto-im"), WriteLab("auto-lab", Lab(json::object())),
                 {"0", "auto", "im", "max", "noprompt"});
}
BENCHMARK(BM_AutoIM)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_AutoIS(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("auto-is"), WriteLab("auto-lab", Lab(json::object())),
                 {"0", "auto", "is", "max", "noprompt"});
}
BENCHMARK(BM_AutoIS)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
