// Which mirror member a disk is, and the offline and online actions sent
// for it.
#include "raid/volume_member.h"

#include <cstdio>

#include "raid/phys_disk_lookup.h"
#include "vxt/config_page.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

int FindVolumeMember(ControllerInfo* c, uint8_t target_id, uint8_t* phys_disk_num) {
  RaidDiskPlace place;
  int result = LocateRaidPhysDisk(c, target_id, DiskMatch::kIdOnly, &place);
  if (place.Found && place.HotSpare) {
    std::fprintf(stderr, "volkit: Cannot make a HOTSPARE disk Offline/Online!\n");
    return 0;
  }
  if (place.Found && place.VolumeType == kVolumeTypeIS) {
    std::fprintf(stderr, "volkit: Cannot bring a physdisk in IS volume Offline/Online!\n");
    return 0;
  }
  if (place.Found) {
    *phys_disk_num = place.Ref.PhysDiskNum;
    return 1;
  }
  if (result == 1) {
    std::fprintf(stderr, "volkit: Couldn't find disk in a volume with SCSI Id: %d!\n", target_id);
    return 0;
  }
  return result;
}

int SetPhysDiskState(ControllerInfo* c, uint8_t phys_disk_num, uint8_t action) {
  PageHeader header;
  if (!ReadPageHeader(c, kPageTypeRaidPhysDisk, 0, &header)) return 0;
  // The disk is named by the request alone; the image only names the IOC,
  // and one too short to hold even that is not sent.
  PageBuffer image = BlankPageImage(header);
  if (!FieldFits(image.size(), 6, 1)) return 0;
  SetRaidPhysDiskPg0PhysDiskIOC(image, IocNumber(*c));
  return VxtRaidAction(c, {.Action = action, .PhysDiskNum = phys_disk_num, .DataOut = image});
}
