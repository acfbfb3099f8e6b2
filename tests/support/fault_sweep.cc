// The single-fault sweep's driver: the clean run, then a run for each
// sampled request and each way it can fail, and the configuration the runs
// are compared by.
#include "support/fault_sweep.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "document/state_file.h"
#include "firmware/page_table.h"
#include "support/sweep_checks.h"
#include "support/sweep_requests.h"

namespace volkit_test {
namespace {

// The model's own reading of a lab or state, so that every spelling the lab
// reader accepts means here what it means to the simulator.
vxtsim::Model ModelOfDocument(const json& doc) {
  vxtsim::Model model;
  for (const std::string& problem : vxtsim::ReadModel(doc, model)) ADD_FAILURE() << problem;
  return model;
}

json IrSwitch(const vxtsim::Controller& c) {
  const vxtsim::PageState& page = c.pages[vxtsim::kIoUnitPg1];
  const uint64_t current = page.current.fields[vxtsim::kIoUnitFlags];
  const vxtsim::Given<uint64_t>& stored = page.nvram.fields[vxtsim::kIoUnitFlags];
  return {current, page.has_nvram && stored.given ? stored.value : current};
}

// Under the sanitizers every run costs several times as much, and they look
// at the same code paths whichever request fails, so a sanitized build
// sweeps a fixed share of the sampled requests: the first, then every
// kSanitizedShare-th (each with every fault kind). The release build sweeps
// them all; the deep sweep too, sanitized or not.
#ifdef VOLKIT_TESTS_SANITIZED
constexpr size_t kSanitizedShare = 3;
#else
constexpr size_t kSanitizedShare = 1;
#endif

void KeepSanitizedShare(std::vector<bool>* sampled) {
  if (kSanitizedShare == 1 || DeepSweep()) return;
  size_t n = 0;
  for (size_t k = 0; k < sampled->size(); ++k) {
    if ((*sampled)[k]) (*sampled)[k] = n++ % kSanitizedShare == 0;
  }
}

int Findings() {
  return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

}  // namespace

bool DeepSweep() {
  const char* deep = std::getenv("VOLKIT_DEEP_SWEEP");
  return deep && *deep && std::string(deep) != "0";
}

json Configuration(const json& lab_or_state) {
  json config = json::array();
  if (!lab_or_state.is_object()) return config;
  for (const vxtsim::Controller& c : ModelOfDocument(lab_or_state).controllers) {
    json disks = json::array(), volumes = json::array(), leds = json::array();
    for (const vxtsim::PhysDisk& d : c.raid.phys_disks) {
      disks.push_back({*d.num, *d.target, *d.hot_spare_pool, *d.state});
    }
    for (const vxtsim::Volume& v : c.raid.volumes) {
      json members = json::array();
      for (const vxtsim::VolumeMember& m : v.members) members.push_back(m.num);
      volumes.push_back({*v.id, *v.type, members});
    }
    for (const vxtsim::Enclosure& e : c.enclosures) {
      json slots = json::object();
      for (const auto& [slot, word] : e.slot_status) slots[std::to_string(slot)] = *word;
      leds.push_back(slots);
    }
    config.push_back({{"controller", *c.number},
                      {"phys_disks", disks},
                      {"volumes", volumes},
                      {"ir", IrSwitch(c)},
                      {"slots", leds}});
  }
  return config;
}

SweepCounts SweepSingleFaults(const SweepScenario& s) {
  SweepCounts counts;
  const int findings_before = Findings();
  const VolkitRun clean = RunVolkit(s.lab, s.args, s.stdin_text);
  const std::string what = "clean run\n" + clean.out + clean.err;
  EXPECT_EQ(clean.status, s.clean_status) << what;
  for (const std::string& text : s.success_texts) {
    EXPECT_NE(clean.out.find(text), std::string::npos) << what << "\nwithout: " << text;
  }
  const json before = Configuration(s.lab), after = Configuration(clean.state);
  if (s.changing) {
    EXPECT_NE(before, after) << what;
  }
  if (Findings() > findings_before) return counts;

  const std::vector<json> requests = Requests(clean);
  counts.requests = requests.size();
  std::vector<bool> sampled = Sampled(requests, DeepSweep() || s.every_request, s.sample_first);
  KeepSanitizedShare(&sampled);
  for (size_t k = 0; k < requests.size(); ++k) {
    if (!sampled[k]) continue;
    ++counts.swept;
    const json match = MatchOf(requests[k]);
    const size_t earlier = CountMatches(requests, match, k);
    for (const SweepFault& f : FaultsFor(requests[k])) {
      const std::string name =
          f.name + " on request " + std::to_string(k + 1) + " (" + match.dump() + ")";
      bool later_matches = true;
      if (f.transient) {
        json lab = s.lab;
        lab["faults"] = {{{"match", match}, {"nth", earlier + 1}, {"effect", f.effect}}};
        VolkitRun run = RunVolkit(lab, s.args, s.stdin_text);
        ++counts.runs;
        CheckRun(s, clean, before, after, "transient " + name, run);
        // Without a later match the persistent fault is the same run.
        later_matches = CountMatches(Requests(run), match, SIZE_MAX) > earlier + 1;
      }
      if (f.persistent && later_matches) {
        json lab = s.lab;
        lab["faults"] = json::array();
        // An empty effect lets the earlier matches through, only counting them.
        if (earlier > 0) {
          lab["faults"].push_back(
              {{"match", match}, {"first", earlier}, {"effect", json::object()}});
        }
        lab["faults"].push_back({{"match", match}, {"effect", f.effect}});
        VolkitRun run = RunVolkit(lab, s.args, s.stdin_text);
        ++counts.runs;
        CheckRun(s, clean, before, after, "persistent " + name, run);
      }
      // A handful of findings tells the story; thousands would drown it.
      if (Findings() > findings_before + 20) return counts;
    }
  }
  return counts;
}

}  // namespace volkit_test
