#include "monitor/health.h"

#include <algorithm>

namespace {

constexpr uint8_t kStateOptimal = 0;
constexpr uint8_t kStateDegraded = 1;
constexpr uint8_t kStateFailed = 2;
constexpr uint8_t kStateMissing = 3;

std::string ControllerText(const ControllerSnapshot& c) {
  return "controller " + std::to_string(c.Controller);
}

std::string VolumeText(const ControllerSnapshot& c, const VolumeSnapshot& v) {
  return ControllerText(c) + " volume " + std::to_string(v.VolumeId) + " (" +
         VolumeTypeName(v.Type) + ")";
}

std::string DiskText(const ControllerSnapshot& c, const RaidDiskSnapshot& d) {
  if (d.Target) return ControllerText(c) + " target " + std::to_string(*d.Target);
  return ControllerText(c) + " physical disk " + std::to_string(d.PhysicalDisk);
}

// Whole percent done, rounded down so that a resync never reads 100% early.
std::string ResyncText(const ResyncSnapshot& r) {
  std::optional<double> ratio = ResyncRatio(r);
  if (!ratio) return "resyncing";
  return "resyncing " + std::to_string(static_cast<unsigned>(*ratio * 100)) + "%";
}

void AddVolume(const ControllerSnapshot& c, const VolumeSnapshot& v,
               std::vector<HealthFinding>* out) {
  const std::string name = VolumeText(c, v);
  switch (v.StateCode) {
    case kStateOptimal:
      break;
    case kStateDegraded:
      if (!v.Resync.Active) out->push_back({HealthState::kCritical, name + " degraded"});
      break;
    case kStateFailed:
      out->push_back({HealthState::kCritical, name + " failed"});
      break;
    case kStateMissing:
      out->push_back({HealthState::kCritical, name + " missing"});
      break;
    default:
      out->push_back(
          {HealthState::kWarning, name + " in unknown state " + std::to_string(v.StateCode)});
      break;
  }
  if (v.Resync.Active) out->push_back({HealthState::kWarning, name + " " + ResyncText(v.Resync)});
  if (v.Inactive) out->push_back({HealthState::kWarning, name + " inactive"});
  for (const RaidDiskSnapshot& m : v.Members) {
    if (IsLostDiskKey(m.State)) {
      out->push_back({HealthState::kCritical, DiskText(c, m) + " " + *m.State});
    }
  }
}

void AddSmart(const ControllerSnapshot& c, const RaidDiskSnapshot& d,
              std::vector<HealthFinding>* out) {
  if (d.SmartErrors == 0) return;
  out->push_back({HealthState::kWarning,
                  DiskText(c, d) + " reports " + std::to_string(d.SmartErrors) + " SMART errors"});
}

// A disk that failed out of its volume and was replaced there by a hot
// spare, or that failed as a spare once taken over: redundancy is whole
// again, but the disk waits for someone to pull it.  Only a disk whose
// place is known: after a failed volume read it may be that volume's.
void AddDiskInNoVolume(const ControllerSnapshot& c, const PhysicalDiskSnapshot& d,
                       std::vector<HealthFinding>* out) {
  const char* role = PhysicalDiskRoleKey(d);
  if (role == nullptr || std::string(role) != "none" || !IsLostDiskKey(d.State)) {
    return;
  }
  std::string name = ControllerText(c) + " physical disk " + std::to_string(d.PhysicalDisk);
  if (d.Target) name += " (target " + std::to_string(*d.Target) + ")";
  out->push_back(
      {HealthState::kWarning, name + " " + *d.State + ", in no volume: replace the disk"});
}

void AddController(const ControllerSnapshot& c, std::vector<HealthFinding>* out) {
  if (!c.Complete) {
    std::string what;
    for (const std::string& p : c.Problems) what += (what.empty() ? "" : ", ") + p;
    out->push_back(
        {HealthState::kUnknown, ControllerText(c) + " could not be read completely: " + what});
  }
  for (const VolumeSnapshot& v : c.Volumes) {
    AddVolume(c, v, out);
    for (const RaidDiskSnapshot& m : v.Members) AddSmart(c, m, out);
  }
  for (const RaidDiskSnapshot& s : c.HotSpares) {
    if (s.State && *s.State != "hot_spare") {
      out->push_back({HealthState::kWarning, DiskText(c, s) + " hot spare in state " + *s.State});
    }
    AddSmart(c, s, out);
  }
  for (const PhysicalDiskSnapshot& d : c.PhysicalDisks) AddDiskInNoVolume(c, d, out);
}

}  // namespace

HealthVerdict ClassifyHealth(const FleetSnapshot& fleet) {
  HealthVerdict verdict;
  if (fleet.Failure != RunFailure::kNone) {
    for (const RunMessage& m : fleet.Messages) {
      verdict.Findings.push_back({HealthState::kUnknown, m.Text});
    }
    if (verdict.Findings.empty()) {
      verdict.Findings.push_back({HealthState::kUnknown, "no controller could be read"});
    }
  }
  for (const ControllerSnapshot& c : fleet.Controllers) AddController(c, &verdict.Findings);
  std::stable_sort(
      verdict.Findings.begin(), verdict.Findings.end(),
      [](const HealthFinding& a, const HealthFinding& b) { return a.State > b.State; });
  if (!verdict.Findings.empty()) verdict.State = verdict.Findings.front().State;
  return verdict;
}

const char* HealthStateName(HealthState state) {
  switch (state) {
    case HealthState::kOk:
      return "ok";
    case HealthState::kUnknown:
      return "unknown";
    case HealthState::kWarning:
      return "warning";
    case HealthState::kCritical:
      return "critical";
  }
  return "unknown";
}

const char* VolumeTypeName(uint8_t volume_type) {
  switch (volume_type) {
    case 0:
      return "IS";
    case 1:
      return "IME";
    case 2:
      return "IM";
    default:
      return "?";
  }
}
