#include "support/fault_sweep.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>

#include "document/record_fields.h"
#include "document/state_file.h"
#include "driver/faults.h"
#include "firmware/page_table.h"
#include "support/raid_log.h"

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

// What identifies the request of a log line to a fault rule: the model's
// description of the request, written as the lab writes a rule's match.
json MatchOf(const json& line) {
  const uint32_t controller = line.value("controller", 0);
  vxtsim::RequestFacts facts;
  if (line.at("kind") == "passthrough") {
    facts = vxtsim::DescribeFrame(controller, FrameBytes(line, 32));
  } else {
    for (const auto& [name, kind] : vxtsim::kRequestKindNames) {
      if (line.at("kind") == name) facts = vxtsim::DriverRequestFacts(kind, controller);
    }
  }
  vxtsim::Model rule;
  rule.faults_given = true;
  vxtsim::FaultMatch& m = rule.faults.emplace_back().match;
  m.given = true;
  m.request = facts.request;
  m.controller = facts.controller;
  auto put = [](vxtsim::Given<uint32_t>& key, const std::optional<uint32_t>& value) {
    if (value) key = *value;
  };
  put(m.function, facts.function);
  put(m.action, facts.action);
  put(m.page_type, facts.page_type);
  put(m.page_number, facts.page_number);
  put(m.ext_page_type, facts.ext_page_type);
  put(m.address, facts.address);
  put(m.raid_action, facts.raid_action);
  put(m.scsi_opcode, facts.scsi_opcode);
  put(m.target, facts.target);
  put(m.vpd_page, facts.vpd_page);
  return vxtsim::WriteModel(rule).at("faults").at(0).at("match");
}

std::vector<json> Requests(const VolkitRun& run) { return run.Ioctls(); }

// Requests that differ only in the device or page instance they name and
// were answered alike: a scan over many targets or disks.
json Shape(const json& line) {
  json shape = MatchOf(line);
  for (const char* key : {"controller", "target", "address"}) shape.erase(key);
  shape["result"] = {line.value("result", 0), line.value("errno", 0), line.value("ioc_status", 0)};
  return shape;
}

// Outside the deep mode a scan is failed at its first few requests and its
// last one only; the ones between take the same paths.
std::vector<bool> Sampled(const std::vector<json>& requests, bool deep, size_t first) {
  std::map<std::string, std::vector<size_t>> groups;
  for (size_t k = 0; k < requests.size(); ++k) groups[Shape(requests[k]).dump()].push_back(k);
  std::vector<bool> sampled(requests.size(), deep);
  for (const auto& [shape, members] : groups) {
    for (size_t i = 0; i < members.size(); ++i) {
      if (i < first || i + 1 == members.size()) sampled[members[i]] = true;
    }
  }
  return sampled;
}

size_t CountMatches(const std::vector<json>& requests, const json& match, size_t end) {
  size_t n = 0;
  for (size_t i = 0; i < end && i < requests.size(); ++i) n += MatchOf(requests[i]) == match;
  return n;
}

struct Fault {
  std::string name;
  json effect;
  bool transient, persistent;
};

// Under the sanitizers every run costs several times as much, and they look
// at the same code paths whichever request fails, so a sanitized build
// sweeps a fixed share of the sampled requests: the first, then every
// kSanitizedShare-th (each with every fault kind). The release build sweeps
// them all; the deep sweep too, sanitized or not.
#ifdef VOLKIT_TESTS_SANITIZED
constexpr size_t kSanitizedShare = 3;
#else
constexpr size_t kSanitizedShare = 3;
#endif

void KeepSanitizedShare(std::vector<bool>* sampled) {
  if (kSanitizedShare == 1 || DeepSweep()) return;
  size_t n = 0;
  for (size_t k = 0; k < sampled->size(); ++k) {
    if ((*sampled)[k]) (*sampled)[k] = n++ % kSanitizedShare == 0;
  }
}

}  // namespace

bool DeepSweep() {
  const char* deep = std::getenv("VOLKIT_DEEP_SWEEP");
  return deep && *deep && std::string(deep) != "0";
}

namespace {

// The ways the driver and the firmware can fail a request of this kind.
// Without the deep mode only the forms that reach their own code path run:
// a failing ioctl or a medium error persistent (the request layer retries
// them once), the others transient, and one status and sense code each.
std::vector<Fault> FaultsFor(const json& line) {
  const bool deep = DeepSweep();
  std::vector<Fault> faults;
  const std::string kind = line.at("kind");
  const int function = line.value("function", -1);
  const bool retried = kind == "passthrough" && function != 0x03 && function != 0x05;
  faults.push_back({"ioctl fails", {{"errno", "EIO"}}, deep || !retried, true});
  faults.push_back({"no reply", {{"no_reply", true}}, true, deep});
  if (kind != "passthrough") return faults;
  faults.push_back({"IocStatus 0x0004", {{"ioc_status", "0x0004"}}, true, deep});
  if (deep) faults.push_back({"IocStatus 0x0022", {{"ioc_status", "0x0022"}}, true, true});
  if (function == 0x15) {
    faults.push_back({"ActionStatus 1", {{"action_status", 1}}, true, true});
    if (deep) {
      faults.push_back({"ActionStatus 4", {{"action_status", 4}}, true, true});
      faults.push_back({"ActionStatus 5", {{"action_status", 5}}, true, true});
    }
  }
  if (function == 0x00 || function == 0x16) {
    faults.push_back(
        {"medium error sense", {{"sense_key", 3}, {"asc", 0x11}, {"ascq", 0}}, true, true});
    if (deep) {
      faults.push_back({"not ready sense", {{"not_ready", true}}, true, true});
      faults.push_back({"unit attention sense", {{"unit_attention", true}}, true, true});
    }
  }
  const size_t data_in = line.value("data_in_size", 0);
  if (data_in > 0) {
    // A short page read fails with IocStatus 0x0045, the path of any other
    // refused read; a short SCSI transfer succeeds and has a path of its own.
    const bool scsi = function == 0x00 || function == 0x16 || function == 0x1C;
    if (deep || scsi) faults.push_back({"short data phase", {{"short", data_in / 2}}, true, deep});
    if (deep) faults.push_back({"empty data phase", {{"short", 0}}, true, true});
  }
  return faults;
}

int Findings() {
  return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

std::string SanitizerReport(const std::string& err) {
  for (const char* mark :
       {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"}) {
    if (err.find(mark) != std::string::npos) return mark;
  }
  return "";
}

// The first line of `got` that is not the next line of `want` still unmatched
// (empty when `got` is `want` with whole lines left out); in a report a line
// may also differ in its value.
std::string NewLine(const std::string& got, const std::string& want, bool report) {
  std::istringstream a(got), b(want);
  std::string x, y;
  auto label = [](const std::string& line) { return line.substr(0, line.find(" : ")); };
  for (int n = 1; std::getline(a, x); ++n) {
    bool found = false;
    while (!found && std::getline(b, y)) {
      found = x == y || (report && y.find(" : ") != std::string::npos && label(x) == label(y));
    }
    if (!found) return "line " + std::to_string(n) + ": \"" + x + "\"";
  }
  return "";
}

// The request layer takes an untouched adapter record or set-up reply as it
// stands (no fill pattern there), so the report shows what it holds.
std::string SpecifiedOutput(const std::string& fault) {
  if (fault.find("no reply") == std::string::npos) return "";
  for (const char* request :
       {"\"request\":\"adapter_info\"", "\"function\":3,", "\"function\":5,"}) {
    if (fault.find(request) != std::string::npos) return "zeroed record taken as it is";
  }
  return "";
}

void CheckRun(const SweepScenario& s, const VolkitRun& clean, const json& before, const json& after,
              const std::string& fault, const VolkitRun& run) {
  SCOPED_TRACE(fault + "\nstatus " + std::to_string(run.status) + ", standard error:\n" + run.err);
  EXPECT_TRUE(run.status >= 0 && run.status < 128) << "did not end by itself";
  EXPECT_EQ(SanitizerReport(run.err), "");
  if (s.excused && !s.excused(fault, run).empty()) return;

  const json now = Configuration(run.state);
  std::string which = now == after ? "new" : now == before ? "old" : "";
  if (which.empty() && s.partial) which = s.partial(run, before, after);
  EXPECT_NE(which, "") << "configuration neither old nor new:\n"
                       << now.dump() << "\nold " << before.dump() << "\nnew " << after.dump();

  const bool failed =
      run.status != 0 || (s.failure_exits_zero && run.err.find("volkit: ") != std::string::npos);
  if (failed && s.failure_keeps_old) {
    EXPECT_EQ(which, "old") << "failed with the " << which << " configuration";
  }
  if (!failed && s.changing) {
    EXPECT_EQ(which, "new") << "exit 0 with the " << which << " configuration";
  }
  if (!SpecifiedOutput(fault).empty()) return;
  for (const std::string& text : s.success_texts) {
    const bool printed = run.out.find(text) != std::string::npos;
    if (failed) {
      EXPECT_FALSE(printed) << "success text after a failure: " << text;
    } else {
      EXPECT_TRUE(printed) << "exit 0 without the success text: " << text;
    }
  }
  if (!failed) {
    EXPECT_EQ(NewLine(run.out, clean.out, s.report), "") << "exit 0 with a line of no clean run";
  }
}

}  // namespace

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
    for (const Fault& f : FaultsFor(requests[k])) {
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
