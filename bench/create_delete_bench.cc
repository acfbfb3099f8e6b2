// CREATE (IM, IME, IS) and DELETE on a large SAS lab: 120 disks in four
// enclosures with DeviceLimit 128.  CREATE takes at most a second volume, so
// its lab holds one mirror and a hot spare; DELETE's lab holds two volumes,
// two hot spares and a third of the disks as RAID members.
#include <nlohmann/json.hpp>

#include "bench_support.h"

namespace {

using nlohmann::json;

constexpr int kDisks = 120;
constexpr int kPerEnclosure = 30;

json Controller(const json& raid) {
  return LargeSasLab(kDisks, kPerEnclosure, "CD",
                     {{"IocPg2", {{"MaxVolumes", 2}, {"MaxPhysDisks", 30}}},
                      {"IocPg6", {{"MaxDrivesIME", 10}, {"MaxDrivesIS", 10}, {"MaxHotSpares", 4}}}},
                     raid);
}

json PhysDisks(int count, int spares) {
  json disks = json::array();
  for (int n = 0; n < count; ++n) {
    disks.push_back({{"num", n}, {"target", n}, {"hot_spare_pool", n >= count - spares ? 1 : 0}});
  }
  return disks;
}

const std::string& WriteLab(const std::string& name, const json& lab) {
  return WriteLabOnce(name, lab.dump(1));
}

const std::string& CreateLab() {
  return WriteLab("create-lab",
                  Controller({{"phys_disks", PhysDisks(3, 1)},
                              {"volumes", {{{"id", 0}, {"type", "IM"}, {"members", {0, 1}}}}}}));
}

const std::string& DeleteLab() {
  json members = json::array();
  for (int n = 2; n < 10; ++n) members.push_back(n);
  return WriteLab("delete-lab",
                  Controller({{"phys_disks", PhysDisks(12, 2)},
                              {"volumes",
                               {{{"id", 0}, {"type", "IM"}, {"members", {0, 1}}},
                                {{"id", 2}, {"type", "IME"}, {"members", members}}}}}));
}

// Drive words far along the enclosures, so that Encl:Bay lookups walk the
// whole device list.
std::vector<std::string> CreateWords(const char* type, int drives) {
  std::vector<std::string> words = {"0", "create", type, "max"};
  for (int i = 0; i < drives; ++i) {
    int t = kDisks - 1 - i;
    // Built piece by piece: GCC 12 warns falsely about the chained operator+.
    std::string word = std::to_string(1 + t / kPerEnclosure);
    word += ':';
    word += std::to_string(t % kPerEnclosure);
    words.push_back(word);
  }
  words.push_back("noprompt");
  return words;
}

void BM_CreateIM(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("create-im"), CreateLab(), CreateWords("im", 2));
}
BENCHMARK(BM_CreateIM)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_CreateIME(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("create-ime"), CreateLab(), CreateWords("ime", 8));
}
BENCHMARK(BM_CreateIME)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_CreateIS(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("create-is"), CreateLab(), CreateWords("is", 10));
}
BENCHMARK(BM_CreateIS)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Delete(benchmark::State& state) {
  MeasureCommand(state, BenchDirectory("delete"), DeleteLab(), {"0", "delete", "noprompt"});
}
BENCHMARK(BM_Delete)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
