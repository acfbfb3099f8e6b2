#include "support/sweep_requests.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "document/record_fields.h"
#include "document/state_file.h"
#include "driver/faults.h"
#include "support/fault_sweep.h"
#include "support/raid_log.h"

namespace volkit_test {
namespace {

// Requests that differ only in the device or page instance they name and
// were answered alike: a scan over many targets or disks.
json Shape(const json& line) {
  json shape = MatchOf(line);
  for (const char* key : {"controller", "target", "address"}) shape.erase(key);
  shape["result"] = {line.value("result", 0), line.value("errno", 0), line.value("ioc_status", 0)};
  return shape;
}

}  // namespace

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

// Without the deep mode only the forms that reach their own code path run:
// a failing ioctl or a medium error persistent (the request layer retries
// them once), the others transient, and one status and sense code each.
std::vector<SweepFault> FaultsFor(const json& line) {
  const bool deep = DeepSweep();
  std::vector<SweepFault> faults;
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

}  // namespace volkit_test
