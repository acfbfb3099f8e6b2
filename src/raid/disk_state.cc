#include "raid/disk_state.h"

#include <algorithm>
#include <iterator>

#include "vxt/pages.h"

DiskState ClassifyMemberDisk(ConstBytes page) {
  switch (RaidPhysDiskPg0PhysDiskState(page)) {
    case 0:
    case 4:
      if (RaidPhysDiskPg0HotSparePool(page) != 0) return DiskState::kHotSpare;
      if (RaidPhysDiskPg0PhysDiskStatusFlags(page) == 1) return DiskState::kOutOfSync;
      return DiskState::kOnline;
    case 1:
      return DiskState::kMissing;
    case 2:
      return DiskState::kNotCompatible;
    case 3:
      return DiskState::kFailed;
    case 5:
      return DiskState::kOfflineRequested;
    case 6:
      return DiskState::kFailedRequested;
    case 0xFF:
      return DiskState::kOfflineUnknown;
    default:
      return DiskState::kUnknown;
  }
}

DiskState ClassifyNonMemberDevice(uint8_t inquiry0, int status, uint32_t block_size) {
  if (inquiry0 != 0 && inquiry0 != kSimplifiedHardDisk) return DiskState::kStandby;
  if (status == 1 && block_size == 512) return DiskState::kReady;
  return DiskState::kAvailable;
}

bool IsLostDiskState(DiskState state) {
  return std::find(std::begin(kLostDiskStates), std::end(kLostDiskStates), state) !=
         std::end(kLostDiskStates);
}

VolumeState ClassifyVolume(uint8_t volume_state) {
  switch (volume_state) {
    case 0:
      return VolumeState::kOptimal;
    case 1:
      return VolumeState::kDegraded;
    case 2:
      return VolumeState::kFailed;
    case 3:
      return VolumeState::kMissing;
    default:
      return VolumeState::kUnknown;
  }
}
