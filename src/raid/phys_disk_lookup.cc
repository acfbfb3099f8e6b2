#include "raid/phys_disk_lookup.h"

#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

// A page too short to name the disk names none; its missing bytes must not
// read as a match for target 0.
bool IsOurDisk(ControllerInfo* c, ConstBytes disk, int target_id, DiskMatch match) {
  if (!FieldFits(disk.size(), 4, 4) || RaidPhysDiskPg0PhysDiskID(disk) != target_id) return false;
  return match == DiskMatch::kIdOnly || (RaidPhysDiskPg0PhysDiskBus(disk) == 0 &&
                                         RaidPhysDiskPg0PhysDiskIOC(disk) == IocNumber(*c));
}

PhysDiskRef RefOf(ConstBytes disk) {
  return {RaidPhysDiskPg0PhysDiskID(disk), RaidPhysDiskPg0PhysDiskBus(disk),
          RaidPhysDiskPg0PhysDiskIOC(disk), RaidPhysDiskPg0PhysDiskNum(disk)};
}

}  // namespace

int LocateRaidPhysDisk(ControllerInfo* c, int target_id, DiskMatch match, RaidDiskPlace* place) {
  *place = {};
  PageBuffer ioc2;
  int result = ReadIocPg2(c, &ioc2);
  if (result != 1) return result;

  for (int i = 0; i < IocPg2VolumeCount(ioc2) && !place->Found; ++i) {
    PageBuffer volume;
    result = ReadRaidVolPg0(c, IocPg2VolumeAt(ioc2, i).VolumeID, &volume);
    if (result != 1) continue;
    for (int k = 0; k < RaidVolPg0MemberCount(volume); ++k) {
      PageBuffer disk;
      result = ReadRaidPhysDiskPg0(c, RaidVolPg0MemberAt(volume, k).PhysDiskNum, &disk);
      if (result != 1 || !IsOurDisk(c, disk, target_id, match)) continue;
      place->Found = true;
      place->VolumeType = RaidVolPg0VolumeType(volume);
      place->VolumeStatusFlags = RaidVolPg0VolumeStatusFlags(volume);
      place->Ref = RefOf(disk);
      break;
    }
  }
  if (place->Found || result != 1) return result;

  PageBuffer ioc5;
  result = ReadIocPg5(c, &ioc5);
  if (result != 1) return result;
  for (int j = 0; j < IocPg5HotSpareCount(ioc5); ++j) {
    PageBuffer disk;
    result = ReadRaidPhysDiskPg0(c, IocPg5HotSparePhysDiskNum(ioc5, j), &disk);
    if (result != 1 || !IsOurDisk(c, disk, target_id, match)) continue;
    place->Found = true;
    place->HotSpare = true;
    place->Ref = RefOf(disk);
    break;
  }
  return result;
}

int FindRaidPhysDisk(ControllerInfo* c, int target_id, bool* found, bool* in_inactive_volume,
                     PhysDiskRef* ref) {
  RaidDiskPlace place;
  int result = LocateRaidPhysDisk(c, target_id, DiskMatch::kOnThisBusAndIoc, &place);
  *found = place.Found;
  *in_inactive_volume =
      place.Found && !place.HotSpare && (place.VolumeStatusFlags & kVolumeStatusInactive) != 0;
  if (place.Found) *ref = place.Ref;
  return result;
}
