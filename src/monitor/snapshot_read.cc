// The reader's entry: controller-wide facts, then the RAID configuration,
// the devices and the enclosures.
#include "monitor/snapshot_read.h"

#include <algorithm>
#include <cstdio>

#include "console/text_format.h"
#include "monitor/snapshot_parts.h"
#include "vxt/page_readers.h"
#include "vxt/page_walk.h"
#include "vxt/pages.h"

namespace {

std::string VersionText(uint32_t major, uint32_t minor, uint32_t unit, uint32_t dev) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u.%02u.%02u", major, minor, unit, dev);
  return text;
}

void ReadVersions(ControllerInfo* c, ControllerSnapshot* s) {
  s->FirmwareVersion = VersionText(FirmwareVersionByte(*c, 0), FirmwareVersionByte(*c, 1),
                                   FirmwareVersionByte(*c, 2), FirmwareVersionByte(*c, 3));
  PageBuffer io_unit2;
  if (ReadIoUnitPg2(c, &io_unit2)) {
    s->BiosVersion = BiosVersionText(IoUnitPg2BiosVersion(io_unit2));
  } else {
    NoteProblem(s, "the BIOS version");
  }
  PageBuffer io_unit1;
  if (ReadIoUnitPg1(c, &io_unit1)) {
    s->IrEnabled = (IoUnitPg1IoUnitFlags(io_unit1) & kIoUnitFlagIrDisabled) == 0;
  } else {
    NoteProblem(s, "the IR setting");
  }
}

void ReadEnclosures(ControllerInfo* c, ControllerSnapshot* s) {
  int walked = WalkExtendedPagesOneHeader(
      c, kExtPageTypeSasEnclosure, SasEnclosurePg0EnclosureHandle, [&](ConstBytes page) {
        s->Enclosures.push_back(
            {SasEnclosurePg0EnclosureHandle(page), SasEnclosurePg0LogicalIDHigh(page),
             SasEnclosurePg0LogicalIDLow(page), SasEnclosurePg0NumSlots(page),
             SasEnclosurePg0StartSlot(page), SasEnclosurePg0StartTargetID(page)});
      });
  if (walked != 1) NoteProblem(s, "the enclosure list");
  std::stable_sort(s->Enclosures.begin(), s->Enclosures.end(),
                   [](const EnclosureSnapshot& a, const EnclosureSnapshot& b) {
                     return a.Enclosure < b.Enclosure;
                   });
}

}  // namespace

void NoteProblem(ControllerSnapshot* s, std::string what) {
  s->Complete = false;
  s->Problems.push_back(std::move(what));
}

void ReadControllerSnapshot(ControllerInfo* c, ControllerSnapshot* s) {
  ReadVersions(c, s);
  RaidPicture raid;
  ReadRaidSnapshot(c, s, &raid);
  ReadDeviceSnapshots(c, raid, s);
  if (c->BusType == kBusTypeSas) ReadEnclosures(c, s);
}
