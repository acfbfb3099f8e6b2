#include "monitor/health_plugin.h"

#include <cstdio>
#include <set>
#include <utility>

namespace {

// Plugin hosts show the first line in lists and notifications; the rest of
// the findings follow as detail lines.
constexpr size_t kSummaryFindings = 5;

const char* PluginStateWord(HealthState state) {
  switch (state) {
    case HealthState::kOk:
      return "OK";
    case HealthState::kWarning:
      return "WARNING";
    case HealthState::kCritical:
      return "CRITICAL";
    case HealthState::kUnknown:
      break;
  }
  return "UNKNOWN";
}

// The progress a running resync has made, in whole percent rounded down as
// the summary shows it; "U" (the plugin convention's undetermined) when the
// indicator was not read or made no sense.
std::string ResyncPercent(const ResyncSnapshot& r) {
  std::optional<double> ratio = ResyncRatio(r);
  if (!ratio) return "U";
  return std::to_string(static_cast<unsigned>(*ratio * 100));
}

struct Counts {
  unsigned Controllers = 0, Volumes = 0, Optimal = 0, Degraded = 0, Failed = 0, HotSpares = 0;
  std::set<std::pair<uint32_t, unsigned>> FailedDisks;  // (controller, disk key)
  std::string Resyncs;
};

// Counts only controllers read completely: a half-read controller's numbers
// would draw a healthy-looking graph; its state already says UNKNOWN or worse.
Counts CountFleet(const FleetSnapshot& fleet) {
  Counts n;
  for (const ControllerSnapshot& c : fleet.Controllers) {
    if (!c.Complete) continue;
    ++n.Controllers;
    n.HotSpares += static_cast<unsigned>(c.HotSpares.size());
    for (const VolumeSnapshot& v : c.Volumes) {
      ++n.Volumes;
      if (v.StateCode == 0) ++n.Optimal;
      if (v.StateCode == 1) ++n.Degraded;
      if (v.StateCode == 2 || v.StateCode == 3) ++n.Failed;
      for (const RaidDiskSnapshot& m : v.Members) {
        if (IsLostDiskKey(m.State)) n.FailedDisks.insert({c.Controller, m.PhysicalDisk});
      }
      if (v.Resync.Active) {
        n.Resyncs += " resync_c" + std::to_string(c.Controller) + "_v" +
                     std::to_string(v.VolumeId) + "=" + ResyncPercent(v.Resync) + "%;;;0;100";
      }
    }
    for (const RaidDiskSnapshot& s : c.HotSpares) {
      if (IsLostDiskKey(s.State)) n.FailedDisks.insert({c.Controller, s.PhysicalDisk});
    }
    for (const PhysicalDiskSnapshot& d : c.PhysicalDisks) {
      if (IsLostDiskKey(d.State)) n.FailedDisks.insert({c.Controller, d.PhysicalDisk});
    }
    // A failed disk that no volume or spare list names any more still counts
    // once; RAID disks are keyed by physical disk number, others by target.
    for (const DeviceSnapshot& d : c.Devices) {
      if (d.State && *d.State == "failed") {
        n.FailedDisks.insert({c.Controller, d.PhysicalDisk ? *d.PhysicalDisk : 0x100U + d.Target});
      }
    }
  }
  return n;
}

std::string Plural(unsigned count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Summary(const HealthVerdict& verdict, const Counts& n) {
  if (verdict.Findings.empty()) {
    return Plural(n.Optimal, "volume", "volumes") + " optimal on " +
           Plural(n.Controllers, "controller", "controllers");
  }
  std::string text;
  size_t shown = std::min(verdict.Findings.size(), kSummaryFindings);
  for (size_t i = 0; i < shown; ++i) text += (i == 0 ? "" : ", ") + verdict.Findings[i].Text;
  if (verdict.Findings.size() > shown) {
    // One format string: a short literal appended on its own is stored as
    // immediates the package checker reads as a misspelt word.
    char more[32];
    std::snprintf(more, sizeof more, " and %zu more", verdict.Findings.size() - shown);
    text += more;
  }
  return text;
}

std::string PerfData(const Counts& n) {
  return "volumes=" + std::to_string(n.Volumes) + " optimal=" + std::to_string(n.Optimal) +
         " degraded=" + std::to_string(n.Degraded) + " failed=" + std::to_string(n.Failed) +
         " failed_disks=" + std::to_string(n.FailedDisks.size()) +
         " hot_spares=" + std::to_string(n.HotSpares) + n.Resyncs;
}

// The plugin line is one line: a finding's text never breaks it.
std::string OneLine(std::string text) {
  for (char& ch : text) {
    if (ch == '\n' || ch == '\r' || ch == '|') ch = ' ';
  }
  return text;
}

}  // namespace

std::string HealthPluginText(const FleetSnapshot& fleet, const HealthVerdict& verdict) {
  Counts n = CountFleet(fleet);
  std::string text = std::string("VOLKIT ") + PluginStateWord(verdict.State) + " - " +
                     OneLine(Summary(verdict, n));
  // A run that read no controller has nothing to graph; zeros would lie.
  if (n.Controllers != 0) text += " | " + PerfData(n);
  text += "\n";
  if (verdict.Findings.size() > 1) {
    for (const HealthFinding& f : verdict.Findings) {
      text += std::string(PluginStateWord(f.State)) + ": " + OneLine(f.Text) + "\n";
    }
  }
  return text;
}

int HealthPluginStatus(HealthState state) {
  switch (state) {
    case HealthState::kOk:
      return 0;
    case HealthState::kWarning:
      return 1;
    case HealthState::kCritical:
      return 2;
    case HealthState::kUnknown:
      break;
  }
  return 3;
}
