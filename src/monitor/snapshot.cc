#include "monitor/snapshot.h"

int FleetExitStatus(const FleetSnapshot& fleet) {
  if (fleet.Failure != RunFailure::kNone) return 2;
  for (const ControllerSnapshot& c : fleet.Controllers) {
    if (!c.Complete) return 1;
  }
  return 0;
}

const char* VolumeTypeKey(uint8_t type) {
  static const char* const kTypes[] = {"is", "ime", "im"};
  return type < 3 ? kTypes[type] : nullptr;
}

const char* RaidLevelKey(uint8_t type) {
  static const char* const kLevels[] = {"0", "1e", "1"};
  return type < 3 ? kLevels[type] : nullptr;
}

const char* const kVolumeStateKeys[5] = {"optimal", "degraded", "failed", "missing", "unknown"};

const char* VolumeStateKey(uint8_t state) {
  return kVolumeStateKeys[static_cast<int>(ClassifyVolume(state))];
}

const char* DiskStateKey(DiskState state) {
  switch (state) {
    case DiskState::kOnline:
      return "online";
    case DiskState::kOutOfSync:
      return "out_of_sync";
    case DiskState::kHotSpare:
      return "hot_spare";
    case DiskState::kMissing:
      return "missing";
    case DiskState::kNotCompatible:
      return "not_compatible";
    case DiskState::kFailed:
      return "failed";
    case DiskState::kOfflineRequested:
      return "offline_requested";
    case DiskState::kFailedRequested:
      return "failed_requested";
    case DiskState::kOfflineUnknown:
      return "offline_unknown";
    case DiskState::kStandby:
      return "standby";
    case DiskState::kReady:
      return "ready";
    case DiskState::kAvailable:
      return "available";
    case DiskState::kUnknown:
      break;
  }
  return "unknown";
}

bool IsLostDiskKey(const std::optional<std::string>& state) {
  if (!state) return false;
  for (DiskState lost : kLostDiskStates) {
    if (*state == DiskStateKey(lost)) return true;
  }
  return false;
}

std::optional<double> ResyncRatio(const ResyncSnapshot& r) {
  if (!r.TotalBlocks || !r.RemainingBlocks || *r.TotalBlocks == 0 ||
      *r.RemainingBlocks > *r.TotalBlocks) {
    return std::nullopt;
  }
  return static_cast<double>(*r.TotalBlocks - *r.RemainingBlocks) /
         static_cast<double>(*r.TotalBlocks);
}

const char* PhysicalDiskRoleKey(const PhysicalDiskSnapshot& disk) {
  if (disk.VolumeId) return "member";
  if (disk.HotSpare && *disk.HotSpare) return "hot_spare";
  if (!disk.VolumesKnown || !disk.HotSpare) return nullptr;
  return "none";
}
