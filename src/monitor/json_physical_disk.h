// One entry of a controller's `physical_disks` in the json document.
#pragma once

#include "monitor/json_text.h"
#include "monitor/snapshot.h"

// {"physical_disk", "target", "state", "volume_id", "hot_spare"}; null for
// what is unknown, and `volume_id` null for a disk in no volume.
void WritePhysicalDisk(JsonText* json, const PhysicalDiskSnapshot& disk);
