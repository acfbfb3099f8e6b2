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

// Looks `target_id` up among the members of every active volume, then among
// the hot spares.  `found` and `in_inactive_volume` are cleared first; `ref`
// is written only when found.  Returns the result of the last page read made
// (1 success), so an unreadable page at the end of a list is reported.
int FindRaidPhysDisk(ControllerInfo* controller, int target_id, bool* found,
                     bool* in_inactive_volume, PhysDiskRef* ref);
