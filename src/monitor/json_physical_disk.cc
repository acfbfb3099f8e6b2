#include "monitor/json_physical_disk.h"

void WriteRaidDiskKeys(JsonText* j, const RaidDiskSnapshot& d) {
  JsonKey(j, "physical_disk");
  JsonUnsigned(j, d.PhysicalDisk);
  JsonKey(j, "target");
  JsonOptional(j, d.Target);
  JsonKey(j, "state");
  JsonOptional(j, d.State);
}

void WritePhysicalDisk(JsonText* j, const PhysicalDiskSnapshot& d) {
  JsonBeginObject(j);
  WriteRaidDiskKeys(j, d);
  JsonKey(j, "volume_id");
  JsonOptional(j, d.VolumeId);
  JsonKey(j, "hot_spare");
  JsonOptional(j, d.HotSpare);
  JsonEndObject(j);
}
