// Whether a target ID belongs to the RAID configuration, as a volume member
// or a hot spare.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

// Bytes 4-7 of the disk's RaidPhysDiskPg0.
struct PhysDiskRef {
  uint8_t PhysDiskID;
  uint8_t PhysDiskBus;
  uint8_t PhysDiskIOC;
  uint8_t PhysDiskNum;  // addresses the RAID-member pass-through
};

// Where a lookup found a disk.  The volume fields hold only for a member.
struct RaidDiskPlace {
  bool Found;
  bool HotSpare;
  uint8_t VolumeType;
  uint8_t VolumeStatusFlags;
  PhysDiskRef Ref;
};

// How a RaidPhysDiskPg0 is taken to be the target's.
enum class DiskMatch {
  kOnThisBusAndIoc,  // PhysDiskID, bus 0 and this controller's IOC number
  kIdOnly,           // PhysDiskID alone
};

// Looks `target_id` up among the members of every active volume (the first
// match ends the search), then among the hot spares.  `place` is cleared
// first.  Returns the result of the last page read made (1 success), so an
// unreadable page at the end of a list is reported; the hot spares are read
// only while nothing was found and that result is 1.
int LocateRaidPhysDisk(ControllerInfo* controller, int target_id, DiskMatch match,
                       RaidDiskPlace* place);

// LocateRaidPhysDisk matching on bus and IOC too.  `found` and
// `in_inactive_volume` are cleared first; `ref` is written only when found.
int FindRaidPhysDisk(ControllerInfo* controller, int target_id, bool* found,
                     bool* in_inactive_volume, PhysDiskRef* ref);
