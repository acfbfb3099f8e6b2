// The HOTSPARE handler: making a global hot spare, or deleting one.
#include <cstdio>
#include <cstring>

#include "console/command_lock.h"
#include "console/drive_address.h"
#include "console/words.h"
#include "raid/boot_device.h"
#include "raid/hot_spares.h"
#include "raid/raid_limits.h"
#include "setcfg/setcfg.h"
#include "vxt/pages.h"

namespace {

constexpr char kHotSpareUsage[] =
    "  volkit <controller #> HOTSPARE [DELETE] <SCSI ID>/<Encl:Bay>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where DELETE keyword:\n"
    "      Specifies that the hotspare is to be deleted.\n"
    "      Omit the DELETE keyword to specify hotspare creation.\n"
    "    where <SCSI ID> is:\n"
    "      SCSI target ID of drive that will become the hot spare disk.\n"
    "    where <Encl:Bay> is:\n"
    "      Enclosure and Bay # of drive that will become the hot spare disk.\n";

}  // namespace

int AddHotSpare(ControllerInfo* c, uint8_t target_id) {
  // No volume type is named here; the reserve is read as for a stripe set.
  const RaidLimits limits = LoadRaidLimits(c, kVolumeTypeIS);
  const bool sas = c->BusType == kBusTypeSas;
  if (CheckHotSpareSlots(c, limits) != 1 || (sas && MatchHotSpareType(c, target_id) != 1) ||
      CheckHotSpareTarget(c, limits, target_id) != 1 || CreateHotSpare(c, target_id) != 1) {
    std::printf("volkit: Hot Spare create failed.\n");
    return 1;
  }
  if (sas) UpdateBootDevice(c, kBootEventPhysDiskCreated, 0);
  return 0;
}

int RemoveHotSpare(ControllerInfo* c, uint8_t target_id) {
  HotSpareList list;
  CollectHotSpares(c, &list);
  if (!IsAnyHotSpare(c, target_id, list)) {
    std::printf("volkit: Target %d is not a hotspare or is a member of a volume.\n", target_id);
    return 1;
  }
  if (DeleteHotSpare(c, target_id) == 1) return 0;
  std::printf("volkit: Hotspare delete failed.\n");
  return 1;
}

int HotSpareCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "%s\n", kHotSpareUsage);
    return 1;
  }
  LowerCaseWord(argv[3]);
  const bool deleting = std::strcmp(argv[3], "delete") == 0;
  if (argc != (deleting ? 5 : 4)) {
    std::printf("%s\n", kHotSpareUsage);
    return 1;
  }
  uint8_t target_id = 0;
  if (!ResolveDriveTarget(c, argv[deleting ? 4 : 3], &target_id)) return 1;
  if (!TakeTargetLock(c, target_id)) return 1;
  return deleting ? RemoveHotSpare(c, target_id) : AddHotSpare(c, target_id);
}
