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

const char* VolumeStateKey(uint8_t state) { return kVolumeStateKeys[state < 4 ? state : 4]; }

const char* PhysicalDiskRoleKey(const PhysicalDiskSnapshot& disk) {
  if (disk.VolumeId) return "member";
  if (disk.HotSpare && *disk.HotSpare) return "hot_spare";
  if (!disk.VolumesKnown || !disk.HotSpare) return nullptr;
  return "none";
}
