// The state of a disk and of a volume, classified once from the firmware's
// pages (or, for a device in no volume, from the probe).  DISPLAY words and
// the monitoring keys are both mappings of these.
#pragma once

#include <cstdint>

#include "vxt/byte_access.h"

// INQUIRY peripheral device type of the simplified direct-access device,
// which counts as a hard disk.
inline constexpr uint8_t kSimplifiedHardDisk = 14;

enum class DiskState {
  kOnline,
  kOutOfSync,
  kHotSpare,
  kMissing,
  kNotCompatible,
  kFailed,
  kOfflineRequested,
  kFailedRequested,
  kOfflineUnknown,
  kStandby,
  kReady,
  kAvailable,
  kUnknown,
};

// A RAID physical disk's state from its RaidPhysDiskPg0.
DiskState ClassifyMemberDisk(ConstBytes raid_phys_disk_page);

// A device outside the RAID configuration: `status` is the reply class of
// the capacity read (or the last request), `block_size` what it returned.
DiskState ClassifyNonMemberDevice(uint8_t inquiry0, int status, uint32_t block_size);

// The states in which a disk is lost to its volume or to use.
inline constexpr DiskState kLostDiskStates[] = {
    DiskState::kFailed,           DiskState::kMissing,         DiskState::kNotCompatible,
    DiskState::kOfflineRequested, DiskState::kFailedRequested, DiskState::kOfflineUnknown,
};
bool IsLostDiskState(DiskState state);

enum class VolumeState { kOptimal, kDegraded, kFailed, kMissing, kUnknown };

// A volume's state from its RaidVolPg0 VolumeState code.
VolumeState ClassifyVolume(uint8_t volume_state);
