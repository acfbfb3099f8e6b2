// LOCATE: the identify LED of one drive slot, through the enclosure processor.
#include <cstdio>
#include <cstring>

#include "console/drive_address.h"
#include "console/drive_table.h"
#include "console/words.h"
#include "setcfg/setcfg.h"
#include "vxt/raid_action.h"

namespace {

constexpr char kLocateUsage[] =
    "  volkit <controller #> LOCATE <SCSI ID>/<Encl:Bay> <action>\n"
    "    where <controller #> is:\n"
    "        Number between 0 and 255,\n"
    "    where <SCSI ID> is:\n"
    "        Any valid SCSI Id of a physical disk\n"
    "    where <Encl:Bay> is:\n"
    "        Any valid Enclosure:Bay pair of a physical disk\n"
    "    where <action> is:\n"
    "        on  - turn ON the drive's Locate LED\n"
    "        off - turn OFF the drive's Locate LED\n";

}  // namespace

int ResolveSlotAddress(ControllerInfo* c, const char* text, uint16_t* enclosure, uint16_t* slot) {
  int is_encl_bay = std::strchr(text, ':') != nullptr;
  DeviceTable devices;
  int device_count = EnumerateSasDevices(c, &devices);
  uint16_t e = 0;
  uint16_t s = 0;
  if (!ParseDriveLocation(c, text, is_encl_bay, devices, device_count, &e, &s)) return 0;

  EnclosureList enclosures;
  int enclosure_count = EnumerateEnclosures(c, &enclosures);
  if (e < 1 || e > enclosure_count) {
    std::printf("volkit: Enclosure Id not valid for disk : \"%s\"!\n", text);
    return 0;
  }
  int matches = CountDevicesInSlot(devices, enclosures[e - 1], s, nullptr);
  if (matches == 0) {
    std::printf("volkit: SlotNumber not valid for disk : \"%s\"!\n", text);
    return 0;
  }
  if (matches > 1) {
    std::printf("volkit: Multiple disks exists in SlotNumber specified for disk : \"%s\"!\n", text);
    return 0;
  }
  *enclosure = e;
  *slot = s;
  return 1;
}

int SetLocateLed(ControllerInfo* c, uint16_t enclosure, uint16_t slot, int on) {
  // Without a status read back, writing one made up from nothing would reset
  // every other bit of the slot.
  uint32_t status = 0;
  if (!SepReadSlotStatus(c, enclosure, slot, &status)) return 0;
  // The identify bit is cleared for "off" rather than sent back as read: a
  // firmware that reports it in the status would otherwise keep the LED lit.
  status = on ? (status | kSlotStatusIdentify) : (status & ~kSlotStatusIdentify);
  return SepWriteSlotStatus(c, enclosure, slot, status);
}

int LocateCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "%s\n", kLocateUsage);
    return 1;
  }
  char* action = argv[4];
  LowerCaseWord(action);
  int on = std::strcmp(action, "on") == 0;
  if (!on && std::strcmp(action, "off") != 0) {
    std::fprintf(stderr, "volkit: Invalid action specified \"%s\"!\n", action);
    return 1;
  }
  uint16_t enclosure = 0;
  uint16_t slot = 0;
  if (ResolveSlotAddress(c, argv[3], &enclosure, &slot) == 1 &&
      SetLocateLed(c, enclosure, slot, on) == 1) {
    return 0;
  }
  std::printf("volkit: Locate command failed.\n");
  return 1;
}
