// The reader's entry: controller-wide facts, then the RAID configuration,
// the devices and the enclosures.  (Being completed: controller facts only.)
#include "report/snapshot_read.h"

#include <cstdio>

namespace {

std::string VersionText(uint32_t major, uint32_t minor, uint32_t unit, uint32_t dev) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u.%02u.%02u", major, minor, unit, dev);
  return text;
}

}  // namespace

void ReadControllerSnapshot(ControllerInfo* c, ControllerSnapshot* s) {
  s->FirmwareVersion = VersionText(FirmwareVersionByte(*c, 0), FirmwareVersionByte(*c, 1),
                                   FirmwareVersionByte(*c, 2), FirmwareVersionByte(*c, 3));
}
