// The reader's parts and what they hand each other: the RAID configuration
// is read first, and the device part describes members from the physical
// disk pages it already holds.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "report/snapshot.h"
#include "vxt/config_page.h"

// Where the RAID configuration puts a target ID of this controller's bus 0.
struct RaidPlace {
  uint8_t PhysDiskNum = 0;
  std::optional<uint8_t> VolumeId;  // unset for a hot spare
  bool InInactiveVolume = false;
};

struct RaidPicture {
  PageBuffer VolumeList;                    // IocPg2, empty when unread
  std::map<uint8_t, PageBuffer> DiskPages;  // RaidPhysDiskPg0 by disk number
  std::map<uint8_t, RaidPlace> Places;      // by target ID, first match kept
};

// Marks the snapshot incomplete, saying what could not be read.
void NoteProblem(ControllerSnapshot* snapshot, std::string what);

void ReadRaidSnapshot(ControllerInfo* controller, ControllerSnapshot* snapshot, RaidPicture* raid);

void ReadDeviceSnapshots(ControllerInfo* controller, const RaidPicture& raid,
                         ControllerSnapshot* snapshot);
