// The checks that go before a hot spare is made: room for it, a mirror for it
// to protect, a matching kind of disk, and the disk itself.  Each prints at
// most its own message; page reads that fail print nothing.
#include <cstdio>

#include "raid/hot_spares.h"
#include "raid/raid_limits.h"
#include "setcfg/setcfg.h"
#include "vxt/config_page.h"
#include "vxt/drive_class.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr uint32_t kRequiredBlockSize = 512;

bool IsActiveMirror(const IocPg2Volume& v) {
  return (v.VolumeType == kVolumeTypeIME || v.VolumeType == kVolumeTypeIM) &&
         !(v.VolumeFlags & kVolumeFlagInactive);
}

bool IsSata(ConstBytes sas_device) { return SasDevicePg0DeviceInfo(sas_device) & kDeviceInfoSata; }

// A mirror a hot spare could stand in for.  A volume page that lists no
// member has no disk to compare with or to measure against.
bool IsMirrorWithMembers(ConstBytes vol0) {
  return RaidVolPg0VolumeType(vol0) != kVolumeTypeIS && RaidVolPg0MemberCount(vol0) > 0;
}

int ReadFirstMember(ControllerInfo* c, ConstBytes vol0, PageBuffer* disk) {
  return ReadRaidPhysDiskPg0(c, RaidVolPg0MemberAt(vol0, 0).PhysDiskNum, disk);
}

// What a member of `vol0` (a mirror with members) must hold, in blocks, for a hot spare to stand in
// for it.
uint32_t RequiredBlocks(ConstBytes vol0, const RaidLimits& limits) {
  uint32_t max_lba = RaidVolPg0MaxLBA(vol0);
  if (RaidVolPg0VolumeType(vol0) == kVolumeTypeIM) return max_lba;
  return limits.MetadataBlocks + 2 * (max_lba / RaidVolPg0NumPhysDisks(vol0));
}

}  // namespace

int CheckHotSpareSlots(ControllerInfo* c, const RaidLimits& limits) {
  PageBuffer iocpg2;
  if (ReadIocPg2(c, &iocpg2) != 1) return 0;
  bool mirror = false;
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes && !mirror; ++i) mirror = IsActiveMirror(IocPg2VolumeAt(iocpg2, i));
  if (!mirror) {
    std::fprintf(stderr, "volkit: No active IM/IME volumes present!\n");
    return 0;
  }
  PageBuffer iocpg5;
  if (ReadIocPg5(c, &iocpg5) != 1) return 0;
  if (IocPg5NumHotSpares(iocpg5) >= limits.MaxHotSpares) {
    std::fprintf(stderr, "volkit: maximum hot spare disks already exist!\n");
    return 0;
  }
  return 1;
}

int MatchHotSpareType(ControllerInfo* c, uint8_t target_id) {
  PageBuffer mfg4;
  if (ReadManufacturingPg4(c, &mfg4) != 1) return 0;
  const bool ssd_mix = ManufacturingPg4IrFlags(mfg4) & kIrFlagSsdMixAllowed;
  PageBuffer device;
  if (ReadSasDevicePg0(c, SasAddressBusTarget(0, target_id), &device) != 1) return 0;
  const bool sata = IsSata(device);
  int ssd = 0;
  if (TestSsd(c, PlainTarget(SasDevicePg0TargetID(device)), &ssd) != kScsiSuccess) return 0;

  PageBuffer iocpg2;
  if (ReadIocPg2(c, &iocpg2) != 1) return 0;
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes; ++i) {
    PageBuffer vol0;
    if (ReadRaidVolPg0(c, IocPg2VolumeAt(iocpg2, i).VolumeID, &vol0) != 1) {
      return 0;
    }
    if (!IsMirrorWithMembers(vol0)) continue;
    PageBuffer disk;
    PageBuffer member_device;
    if (ReadFirstMember(c, vol0, &disk) != 1 ||
        ReadSasDevicePg0(c, SasAddressBusTarget(0, RaidPhysDiskPg0PhysDiskID(disk)),
                         &member_device) != 1) {
      return 0;
    }
    int member_ssd = 0;
    if (TestSsd(c, RaidMember(RaidPhysDiskPg0PhysDiskNum(disk)), &member_ssd) != kScsiSuccess) {
      return 0;
    }
    if (ssd == member_ssd && ((ssd && ssd_mix) || sata == IsSata(member_device))) return 1;
  }
  std::fprintf(stderr, "volkit: hot spare disk type does not match with disks in volume!\n");
  return 0;
}

int CheckHotSpareTarget(ControllerInfo* c, const RaidLimits& limits, uint8_t target_id) {
  PageBuffer iocpg2;
  if (ReadIocPg2(c, &iocpg2) != 1) return 0;
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes; ++i) {
    if (IocPg2VolumeAt(iocpg2, i).VolumeID == target_id) {
      std::fprintf(stderr, "volkit: SCSI ID (%d) specified is that of a IR volume!\n", target_id);
      return 0;
    }
  }
  uint8_t inquiry[kStandardInquiryBytes];
  int answer = ScsiInquiry(c, PlainTarget(target_id), kStandardInquiry, inquiry, sizeof inquiry, 1);
  if (answer == kScsiNoDevice) {
    std::fprintf(stderr, "volkit: no device with a SCSI ID = %d was found!\n", target_id);
    return 0;
  }
  if (answer != kScsiSuccess) {
    std::fprintf(stderr, "volkit: unable to get drive inquiry data!\n");
    return 0;
  }
  if (!IsFixedDisk(inquiry)) {
    std::fprintf(stderr, "volkit: SCSI device is not a fixed media disk drive!\n");
    return 0;
  }
  uint32_t blocks = 0;
  uint32_t block_size = 0;
  if (ScsiReadCapacity(c, PlainTarget(target_id), &blocks, &block_size, 1) != kScsiSuccess) {
    std::fprintf(stderr, "volkit: unable to get drive capacity data!\n");
    return 0;
  }
  if (block_size != kRequiredBlockSize) {
    std::fprintf(stderr, "volkit: disk drive's block size is not 512!\n");
    return 0;
  }
  const bool sas = c->BusType == kBusTypeSas;
  PageBuffer device;
  if (sas && ReadSasDevicePg0(c, SasAddressBusTarget(0, target_id), &device) != 1) return 0;

  // The result of the last page read stands: a member whose device page could
  // not be read is measured all the same, but when it belongs to the last
  // mirror the check fails.
  int result = 1;
  for (int i = 0; i < volumes; ++i) {
    PageBuffer vol0;
    result = ReadRaidVolPg0(c, IocPg2VolumeAt(iocpg2, i).VolumeID, &vol0);
    if (result != 1) return result;
    if (!IsMirrorWithMembers(vol0)) continue;
    if (sas) {
      PageBuffer disk;
      result = ReadFirstMember(c, vol0, &disk);
      if (result != 1) return result;
      PageBuffer member_device;
      result = ReadSasDevicePg0(c, SasAddressBusTarget(0, RaidPhysDiskPg0PhysDiskID(disk)),
                                &member_device);
      // A hot spare stands in only for disks of its own interface.
      if (result == 1 && IsSata(member_device) != IsSata(device)) continue;
    }
    if (RequiredBlocks(vol0, limits) >= blocks) {
      std::fprintf(stderr, "volkit: disk drive's capacity is too small!\n");
      return 0;
    }
  }
  return result;
}
