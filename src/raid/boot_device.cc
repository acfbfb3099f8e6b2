#include "raid/boot_device.h"

#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr uint8_t kMapPrimary = 1;

// A 64-bit address as the pages hold it: the word at the lower offset first.
// Addresses are compared and written in that one order, so that an address
// written here compares equal to its source the next time round.
struct Address {
  uint32_t Low;
  uint32_t High;
  bool operator==(const Address&) const = default;
};

Address BootAddress(ConstBytes bios2) {
  return {BiosPg2BootDeviceLow(bios2), BiosPg2BootDeviceHigh(bios2)};
}
Address SasAddress(ConstBytes device) {
  return {SasDevicePg0SasAddressLow(device), SasDevicePg0SasAddressHigh(device)};
}
Address VolumeWwid(ConstBytes vol1) { return {RaidVolPg1WwidLow(vol1), RaidVolPg1WwidHigh(vol1)}; }

int ReadDevice(ControllerInfo* c, uint8_t bus, uint8_t target, PageBuffer* device) {
  return ReadSasDevicePg0(c, SasAddressBusTarget(bus, target), device);
}

int WriteBootAddress(ControllerInfo* c, PageBuffer* bios2, Address address) {
  SetBiosPg2BootDevice(*bios2, address.Low, address.High);
  return VxtConfigWritePage(c, kPageActionWriteNvram, 0, *bios2);
}

// The member of `vol0` with `phys_disk_num`, or -1.
int FindMember(ConstBytes vol0, uint8_t phys_disk_num) {
  int members = RaidVolPg0MemberCount(vol0);
  for (int m = 0; m < members; ++m) {
    if (RaidVolPg0MemberAt(vol0, m).PhysDiskNum == phys_disk_num) return m;
  }
  return -1;
}

int FindPrimary(ConstBytes vol0) {
  int members = RaidVolPg0MemberCount(vol0);
  for (int m = 0; m < members; ++m) {
    if (RaidVolPg0MemberAt(vol0, m).PhysDiskMap == kMapPrimary) return m;
  }
  return -1;
}

// The boot disk becomes a member: as the primary of a mirror it hands the
// boot role to the volume, as any other member it loses it.
int OnVolumeCreated(ControllerInfo* c, PageBuffer* bios2, uint8_t volume_id, uint8_t boot_disk) {
  PageBuffer vol0;
  if (!ReadRaidVolPg0(c, RaidVolumeAddress(0, volume_id), &vol0)) return 0;
  int m = FindMember(vol0, boot_disk);
  if (m < 0) return 1;
  Address address{0, 0};
  PageBuffer vol1;
  if (RaidVolPg0VolumeType(vol0) == kVolumeTypeIM &&
      RaidVolPg0MemberAt(vol0, m).PhysDiskMap == kMapPrimary &&
      ReadRaidVolPg1(c, RaidVolumeAddress(0, volume_id), &vol1)) {
    address = VolumeWwid(vol1);
  }
  return WriteBootAddress(c, bios2, address);
}

// A hot spare does not boot.
int OnPhysDiskCreated(ControllerInfo* c, PageBuffer* bios2, ConstBytes iocpg3, uint8_t boot_disk) {
  int disks = IocPg3PhysDiskCount(iocpg3);
  for (int j = 0; j < disks; ++j) {
    PageBuffer disk;
    if (!ReadRaidPhysDiskPg0(c, IocPg3PhysDiskAt(iocpg3, j).PhysDiskNum, &disk)) {
      return 0;
    }
    if (RaidPhysDiskPg0PhysDiskNum(disk) == boot_disk && RaidPhysDiskPg0HotSparePool(disk) != 0) {
      return WriteBootAddress(c, bios2, {0, 0});
    }
  }
  return 1;
}

// A mirror that boots hands the role back to its primary disk; any other
// volume leaves no boot device behind.
int OnVolumeDeleting(ControllerInfo* c, PageBuffer* bios2, uint8_t volume_id) {
  PageBuffer vol0;
  PageBuffer vol1;
  if (!ReadRaidVolPg0(c, RaidVolumeAddress(0, volume_id), &vol0) ||
      !ReadRaidVolPg1(c, RaidVolumeAddress(0, volume_id), &vol1)) {
    return 0;
  }
  Address address = BootAddress(*bios2);
  if (!(address == VolumeWwid(vol1))) return 1;
  if (RaidVolPg0VolumeType(vol0) != kVolumeTypeIM) {
    address = {0, 0};
  } else if (int m = FindPrimary(vol0); m >= 0) {
    PageBuffer disk;
    if (!ReadRaidPhysDiskPg0(c, RaidVolPg0MemberAt(vol0, m).PhysDiskNum, &disk)) {
      return 0;
    }
    PageBuffer device;
    if (ReadDevice(c, RaidPhysDiskPg0PhysDiskBus(disk), RaidPhysDiskPg0PhysDiskID(disk), &device)) {
      address = SasAddress(device);
    }
  }
  return WriteBootAddress(c, bios2, address);
}

}  // namespace

int UpdateBootDevice(ControllerInfo* c, uint16_t event, uint8_t volume_id) {
  PageBuffer bios2;
  PageBuffer iocpg3;
  if (!ReadBiosPg2(c, &bios2) || !ReadIocPg3(c, &iocpg3)) {
    return 0;
  }
  const Address boot = BootAddress(bios2);
  bool found = false;
  uint8_t boot_disk = 0;
  int disks = IocPg3PhysDiskCount(iocpg3);
  for (int j = 0; j < disks && !found; ++j) {
    IocPg3PhysDisk entry = IocPg3PhysDiskAt(iocpg3, j);
    PageBuffer device;
    if (!ReadDevice(c, entry.PhysDiskBus, entry.PhysDiskID, &device)) return 0;
    if (SasAddress(device) == boot) {
      found = true;
      boot_disk = entry.PhysDiskNum;
    }
  }
  if (event == kBootEventVolumeDeleting) return OnVolumeDeleting(c, &bios2, volume_id);
  if (!found) return 1;
  if (event == kBootEventVolumeCreated) return OnVolumeCreated(c, &bios2, volume_id, boot_disk);
  if (event == kBootEventPhysDiskCreated) return OnPhysDiskCreated(c, &bios2, iocpg3, boot_disk);
  return 1;
}
