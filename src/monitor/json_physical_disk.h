// One entry of a controller's `physical_disks` in the json document.
#pragma once

#include "monitor/json_text.h"
#include "monitor/snapshot.h"

// The keys every RAID physical disk of the document opens with:
// "physical_disk", "target", "state" (null for what is unknown).
void WriteRaidDiskKeys(JsonText* json, const RaidDiskSnapshot& disk);

// {"physical_disk", "target", "state", "volume_id", "hot_spare"}; null for
// what is unknown, and `volume_id` null for a disk in no volume.
void WritePhysicalDisk(JsonText* json, const PhysicalDiskSnapshot& disk);
