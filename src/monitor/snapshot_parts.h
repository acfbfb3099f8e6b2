// The reader's parts and what they hand each other: the RAID configuration
// is read first, and the device part describes members from the physical
// disk pages it already holds.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "monitor/snapshot.h"
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

// What the reads of the RAID configuration settled about where disks belong.
struct RaidPlacesKnown {
  bool Volumes = false;    // every volume page was read
  bool HotSpares = false;  // the hot spare list was read
};

// Marks the snapshot incomplete, saying what could not be read.
void NoteProblem(ControllerSnapshot* snapshot, std::string what);

void ReadRaidSnapshot(ControllerInfo* controller, ControllerSnapshot* snapshot, RaidPicture* raid);

// A disk as its physical disk page describes it; only its number when the
// page was not read.
RaidDiskSnapshot DescribeRaidDisk(const RaidPicture& raid, uint8_t number);

// Fills PhysicalDisks from the controller's list of RAID physical disks
// (IocPg3), placing each by the volumes and hot spares already described.
void DescribePhysicalDisks(ConstBytes disk_list, const RaidPicture& raid, RaidPlacesKnown known,
                           ControllerSnapshot* snapshot);

void ReadDeviceSnapshots(ControllerInfo* controller, const RaidPicture& raid,
                         ControllerSnapshot* snapshot);
