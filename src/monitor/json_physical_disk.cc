#include "monitor/json_physical_disk.h"

void WritePhysicalDisk(JsonText* j, const PhysicalDiskSnapshot& d) {
  JsonBeginObject(j);
  JsonKey(j, "physical_disk");
  JsonUnsigned(j, d.PhysicalDisk);
  JsonKey(j, "target");
  JsonOptional(j, d.Target);
  JsonKey(j, "state");
  JsonOptional(j, d.State);
  JsonKey(j, "volume_id");
  JsonOptional(j, d.VolumeId);
  JsonKey(j, "hot_spare");
  JsonOptional(j, d.HotSpare);
  JsonEndObject(j);
}
