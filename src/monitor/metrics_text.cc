#include "monitor/metrics_text.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Labels = std::vector<std::pair<const char*, std::string>>;

struct Family {
  const char* Name;
  const char* Help;
  std::string Series;  // its sample lines, in the order they were added
};

// The families in the order they are written; the writer fills each one's
// series while walking the controllers once, so a family's series always
// stand together whatever order the walk meets them in.
enum FamilyId {
  kBuildInfo,
  kCollectSuccess,
  kCollectDuration,
  kCollectRequests,
  kControllerInfo,
  kHotSpares,
  kVolumeInfo,
  kVolumeState,
  kVolumeInactive,
  kVolumeSize,
  kVolumeResyncActive,
  kVolumeResyncProgress,
  kVolumeDisks,
  kDiskInfo,
  kDiskState,
  kDiskPredictiveFailure,
  kDiskSize,
  kPhysicalDiskState,
  kFamilyCount,
};

std::vector<Family> Families() {
  return {
      {"volkit_build_info", "The volkit that wrote these metrics.", {}},
      {"volkit_collect_success", "1 when the controller was read completely, else 0.", {}},
      {"volkit_collect_duration_seconds", "Wall time reading the controller took.", {}},
      {"volkit_collect_requests", "Firmware requests reading the controller took.", {}},
      {"volkit_controller_info", "The controller's model, versions and bus.", {}},
      {"volkit_hot_spares", "Hot spare disks the controller holds.", {}},
      {"volkit_volume_info", "The volume's type and RAID level.", {}},
      {"volkit_volume_state", "The volume's state: exactly one state is 1.", {}},
      {"volkit_volume_inactive", "1 when the volume is inactive.", {}},
      {"volkit_volume_size_bytes", "The volume's size in bytes.", {}},
      {"volkit_volume_resync_active", "1 while a resynchronisation runs on the volume.", {}},
      {"volkit_volume_resync_progress_ratio",
       "Share of the running resynchronisation done, 1 when none runs.",
       {}},
      {"volkit_volume_disks", "The volume's member disks in each state.", {}},
      {"volkit_disk_info", "The disk's place and identity.", {}},
      {"volkit_disk_state", "The disk's state: exactly one state is 1.", {}},
      {"volkit_disk_predictive_failure", "1 when the RAID disk reports SMART errors.", {}},
      {"volkit_disk_size_bytes", "The disk's size in bytes.", {}},
      {"volkit_physical_disk_state",
       "The RAID physical disk's state and role (member, hot_spare or none): exactly one state "
       "is 1.",
       {}},
  };
}

// Every state word a device or RAID disk can have: the state sets show
// them all, so a disk leaving a state drops its series to 0 instead of
// letting it vanish.
const char* const kDeviceStateWords[] = {
    "online",          "out_of_sync", "hot_spare",         "missing",
    "not_compatible",  "failed",      "offline_requested", "failed_requested",
    "offline_unknown", "unknown",     "standby",           "ready",
    "available",
};

// A volume type no volume has is labelled "unknown" rather than left out.
const char* OrUnknown(const char* word) { return word != nullptr ? word : "unknown"; }

std::string Number(double value) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void Add(std::vector<Family>* families, FamilyId id, const Labels& labels,
         const std::string& value) {
  std::string& out = (*families)[id].Series;
  out += (*families)[id].Name;
  if (!labels.empty()) {
    out += '{';
    for (size_t i = 0; i < labels.size(); ++i) {
      if (i != 0) out += ',';
      out += labels[i].first;
      out += "=\"";
      out += PrometheusLabelValue(labels[i].second);
      out += '"';
    }
    out += '}';
  }
  out += ' ';
  out += value;
  out += '\n';
}

void Add(std::vector<Family>* families, FamilyId id, const Labels& labels, uint64_t value) {
  Add(families, id, labels, std::to_string(value));
}

Labels With(Labels labels, const char* name, std::string value) {
  labels.emplace_back(name, std::move(value));
  return labels;
}

void AddVolume(std::vector<Family>* f, const Labels& controller, const VolumeSnapshot& v) {
  Labels volume = With(controller, "volume", std::to_string(v.VolumeId));
  Add(f, kVolumeInfo,
      With(With(volume, "type", OrUnknown(VolumeTypeKey(v.Type))), "raid_level",
           OrUnknown(RaidLevelKey(v.Type))),
      1);
  for (const char* state : kVolumeStateKeys) {
    Add(f, kVolumeState, With(volume, "state", state),
        std::string(state) == VolumeStateKey(v.StateCode) ? 1 : 0);
  }
  Add(f, kVolumeInactive, volume, v.Inactive ? 1 : 0);
  // Volume blocks are 512 bytes; a MaxLBA near 2^64 has no byte size.
  if (v.SizeBlocks <= UINT64_MAX / 512) Add(f, kVolumeSize, volume, v.SizeBlocks * 512);
  Add(f, kVolumeResyncActive, volume, v.Resync.Active ? 1 : 0);
  std::optional<double> ratio = ResyncRatio(v.Resync);
  if (!v.Resync.Active) {
    Add(f, kVolumeResyncProgress, volume, 1);
  } else if (ratio) {
    Add(f, kVolumeResyncProgress, volume, Number(*ratio));
  }  // a running resync of unknown progress has no ratio to show
  for (const char* state : kDeviceStateWords) {
    uint64_t count = 0;
    for (const RaidDiskSnapshot& m : v.Members) count += m.State.value_or("unknown") == state;
    Add(f, kVolumeDisks, With(volume, "state", state), count);
  }
}

void AddDisk(std::vector<Family>* f, const Labels& controller, const DeviceSnapshot& d) {
  Labels disk = With(controller, "target", std::to_string(d.Target));
  auto text = [](const auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::optional<std::string>>) {
      return value.value_or("");
    } else {
      return value ? std::to_string(*value) : std::string();
    }
  };
  Labels info = disk;
  info.insert(info.end(), {{"enclosure", text(d.Enclosure)},
                           {"slot", text(d.Slot)},
                           {"vendor", text(d.Vendor)},
                           {"model", text(d.Model)},
                           {"serial", text(d.Serial)},
                           {"firmware_revision", text(d.FirmwareRevision)}});
  Add(f, kDiskInfo, info, 1);
  std::string state = d.State.value_or("unknown");
  for (const char* word : kDeviceStateWords)
    Add(f, kDiskState, With(disk, "state", word), state == word);
  if (d.PredictiveFailure) Add(f, kDiskPredictiveFailure, disk, *d.PredictiveFailure ? 1 : 0);
  if (d.Blocks && d.BlockSize) Add(f, kDiskSize, disk, *d.Blocks * *d.BlockSize);
}

// Every RAID physical disk, those in no volume too: a failed disk left over
// after a hot spare took its place has no other series an alert could see.
void AddPhysicalDisk(std::vector<Family>* f, const Labels& controller,
                     const PhysicalDiskSnapshot& d) {
  const char* role = PhysicalDiskRoleKey(d);
  if (role == nullptr) return;  // only on a half-read controller, which shows nothing
  Labels disk = With(With(With(controller, "physical_disk", std::to_string(d.PhysicalDisk)),
                          "target", d.Target ? std::to_string(*d.Target) : ""),
                     "role", role);
  std::string state = d.State.value_or("unknown");
  for (const char* word : kDeviceStateWords) {
    Add(f, kPhysicalDiskState, With(disk, "state", word), state == word);
  }
}

void AddController(std::vector<Family>* f, const ControllerSnapshot& c) {
  Labels controller = {{"controller", std::to_string(c.Controller)}};
  Add(f, kCollectSuccess, controller, c.Complete ? 1 : 0);
  // A half-read controller shows nothing but its failure: it must never
  // look healthy.
  if (!c.Complete) return;
  Add(f, kCollectDuration, controller, Number(c.DurationSeconds));
  Add(f, kCollectRequests, controller, c.Requests);
  Add(f, kControllerInfo,
      {{"controller", std::to_string(c.Controller)},
       {"model", c.Model},
       {"firmware_version", c.FirmwareVersion.value_or("")},
       {"bios_version", c.BiosVersion.value_or("")},
       {"bus_type", c.Sas ? "sas" : "parallel_scsi"}},
      1);
  Add(f, kHotSpares, controller, c.HotSpares.size());
  for (const VolumeSnapshot& v : c.Volumes) AddVolume(f, controller, v);
  for (const DeviceSnapshot& d : c.Devices) {
    if (d.DeviceType == "disk") AddDisk(f, controller, d);
  }
  for (const PhysicalDiskSnapshot& d : c.PhysicalDisks) AddPhysicalDisk(f, controller, d);
}

}  // namespace

std::string PrometheusLabelValue(const std::string& value) {
  std::string out;
  for (char ch : value) {
    auto byte = static_cast<unsigned char>(ch);
    if (ch == '\\') {
      out += "\\\\";
    } else if (ch == '"') {
      out += "\\\"";
    } else if (ch == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || byte > 0x7e) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\\\x%02x", byte);
      out += hex;
    } else {
      out += ch;
    }
  }
  return out;
}

std::string MetricsText(const FleetSnapshot& fleet, const std::string& version) {
  std::vector<Family> families = Families();
  Add(&families, kBuildInfo, {{"version", version}}, 1);
  for (const ControllerSnapshot& c : fleet.Controllers) AddController(&families, c);
  // A run that found no controller to read (no driver, none answered, the
  // numbered one absent) still says it collected nothing, so the alert on a
  // failed collection fires instead of a quiet, fresh-looking file.
  if (fleet.Failure != RunFailure::kNone && fleet.Controllers.empty()) {
    Add(&families, kCollectSuccess, {}, 0);
  }
  std::string text;
  for (const Family& family : families) {
    if (family.Series.empty()) continue;
    text += std::string("# HELP ") + family.Name + " " + family.Help + "\n";
    text += std::string("# TYPE ") + family.Name + " gauge\n";
    text += family.Series;
  }
  return text;
}
