// Removal of the whole IR configuration, and the boot-sector invalidation of
// mirrors that goes before it.
#include <cstdio>

#include "raid/boot_device.h"
#include "setcfg/setcfg.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"
#include "vxt/scsi.h"

namespace {

constexpr uint8_t kMapSecondary = 2;
constexpr uint32_t kSectorBytes = 512;
constexpr size_t kSignatureOffset = 440;
constexpr size_t kSignatureBytes = 4;

uint32_t DeleteVolumeActionData(uint8_t volume_type) { return volume_type < kVolumeTypeIM ? 3 : 1; }

// Deletes the `count` physical disks that `num_at` numbers, up to the first
// that cannot be deleted.
template <typename NumAt>
int DeleteEachPhysDisk(ControllerInfo* c, int count, NumAt num_at) {
  for (int i = 0; i < count; ++i) {
    int result = RaidActionDeletePhysDisk(c, num_at(i));
    if (result != 1) return result;
  }
  return 1;
}

// One volume of the list, as DELETE removes each.
int DeleteListedVolume(ControllerInfo* c, const IocPg2Volume& v) {
  if (c->BusType == kBusTypeSas) UpdateBootDevice(c, kBootEventVolumeDeleting, v.VolumeID);
  if (v.VolumeType == kVolumeTypeIM) InvalidateBootSector(c, v.VolumeID);
  return RaidActionDeleteVolume(c, v.VolumeBus, v.VolumeID, DeleteVolumeActionData(v.VolumeType));
}

int RemoveInOrder(ControllerInfo* c) {
  PageBuffer iocpg2;
  int result = ReadIocPg2(c, &iocpg2);
  if (result != 1) return result;
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes; ++i) {
    result = DeleteListedVolume(c, IocPg2VolumeAt(iocpg2, i));
    if (result != 1) return result;
  }
  // Read only now, so that they list what the volumes left behind.
  PageBuffer iocpg3;
  result = ReadIocPg3(c, &iocpg3);
  if (result != 1) return result;
  result = DeleteEachPhysDisk(c, IocPg3PhysDiskCount(iocpg3),
                              [&](int j) { return IocPg3PhysDiskAt(iocpg3, j).PhysDiskNum; });
  if (result != 1) return result;
  PageBuffer iocpg5;
  result = ReadIocPg5(c, &iocpg5);
  if (result != 1) return result;
  return DeleteEachPhysDisk(c, IocPg5HotSpareCount(iocpg5),
                            [&](int k) { return IocPg5HotSparePhysDiskNum(iocpg5, k); });
}

}  // namespace

int RemoveAllVolumes(ControllerInfo* c) {
  int result = RemoveInOrder(c);
  if (result != 1) std::fprintf(stderr, "volkit: Couldn't remove existing IR volume!\n");
  return result;
}

int RemoveVolume(ControllerInfo* c, uint8_t volume_id) {
  PageBuffer iocpg2;
  int result = ReadIocPg2(c, &iocpg2);
  int volumes = result == 1 ? IocPg2VolumeCount(iocpg2) : 0;
  int index = -1;
  for (int i = 0; i < volumes && index < 0; ++i) {
    if (IocPg2VolumeAt(iocpg2, i).VolumeID == volume_id) index = i;
  }
  // The members' disk numbers, read before the volume goes: the volume page
  // is the only list of them.
  PageBuffer vol0;
  if (result == 1 && index >= 0) {
    result = ReadRaidVolPg0(
        c, RaidVolumeAddress(IocPg2VolumeAt(iocpg2, index).VolumeBus, volume_id), &vol0);
  }
  if (result == 1 && index < 0) result = 0;
  if (result == 1) result = DeleteListedVolume(c, IocPg2VolumeAt(iocpg2, index));
  if (result == 1) {
    int members = RaidVolPg0MemberCount(vol0);
    result = DeleteEachPhysDisk(c, members,
                                [&](int m) { return RaidVolPg0MemberAt(vol0, m).PhysDiskNum; });
  }
  if (result != 1) std::fprintf(stderr, "volkit: Couldn't remove IR volume %d!\n", volume_id);
  return result;
}

int InvalidateBootSector(ControllerInfo* c, uint8_t volume_id) {
  PageBuffer vol0;
  int result = ReadRaidVolPg0(c, RaidVolumeAddress(0, volume_id), &vol0);
  if (result != 1) return result;
  // The volume list and the volume page come from the firmware; a volume
  // that is no mirror after all has no secondary to clear.
  if (RaidVolPg0VolumeType(vol0) != kVolumeTypeIM) return 0;
  int secondary = -1;
  int members = RaidVolPg0MemberCount(vol0);
  for (int m = 0; m < members && secondary < 0; ++m) {
    if (RaidVolPg0MemberAt(vol0, m).PhysDiskMap == kMapSecondary) secondary = m;
  }
  // Without a secondary member no disk is known to be safe to write.
  if (secondary < 0) return 0;
  uint8_t phys_disk_num = RaidVolPg0MemberAt(vol0, secondary).PhysDiskNum;
  // Write only to a member the firmware still knows as a physical disk.
  PageBuffer disk;
  result = ReadRaidPhysDiskPg0(c, phys_disk_num, &disk);
  if (result != 1) return result;

  // The member pass-through names a member by its physical disk number.
  uint8_t sector[kSectorBytes] = {};
  // Writing back a block only partly read would overwrite the rest of it,
  // partition table included, with zeros.
  if (ScsiReadWrite(c, RaidMember(phys_disk_num), ScsiTransfer::kReadWhole, 0, 1, sector,
                    sizeof sector, 1) != kScsiSuccess) {
    return 0;
  }
  for (size_t i = 0; i < kSignatureBytes; ++i) sector[kSignatureOffset + i] = 0;
  return ScsiReadWrite(c, RaidMember(phys_disk_num), ScsiTransfer::kWrite, 0, 1, sector,
                       sizeof sector, 1) == kScsiSuccess
             ? 1
             : 0;
}
