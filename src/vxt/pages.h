// Named fields of the configuration pages volkit reads and writes.  Pages are
// byte buffers as the firmware returned them, header included; every reader
// goes through the bounded accessors, and every list is walked only as far as
// both its count and the bytes actually delivered allow.
#pragma once

#include <cstdint>

#include "vxt/byte_access.h"

// Page types and numbers.
inline constexpr uint8_t kPageTypeIoUnit = 0;
inline constexpr uint8_t kPageTypeIoc = 1;
inline constexpr uint8_t kPageTypeBios = 2;
inline constexpr uint8_t kPageTypeScsiPort = 3;
inline constexpr uint8_t kPageTypeRaidVolume = 8;
inline constexpr uint8_t kPageTypeManufacturing = 9;
inline constexpr uint8_t kPageTypeRaidPhysDisk = 10;
inline constexpr uint8_t kExtPageTypeSasDevice = 0x12;
inline constexpr uint8_t kExtPageTypeSasEnclosure = 0x15;

// Page address forms of the SAS device and enclosure pages.
inline constexpr uint32_t kStartHandle = 0xFFFF;
inline constexpr uint32_t SasAddressNextAfter(uint16_t handle) { return handle; }
inline constexpr uint32_t SasAddressBusTarget(uint8_t bus, uint8_t target) {
  return 0x10000000u + bus * 256u + target;
}
inline constexpr uint32_t SasAddressHandle(uint16_t handle) { return 0x20000000u + handle; }
inline constexpr uint32_t RaidVolumeAddress(uint8_t bus, uint8_t volume_id) {
  return bus * 256u + volume_id;
}
// The firmware's answer when a next-after-handle walk has run out.
inline constexpr uint16_t kIocStatusInvalidPage = 0x0022;

inline uint8_t PageLengthWords(ConstBytes p) { return GetU8(p, 1); }

// Entries of `entry_size` bytes starting at `first`: as many as `count` says
// but never more than the page holds.
inline int BoundedCount(ConstBytes p, size_t first, size_t entry_size, unsigned count) {
  if (p.size() <= first) return 0;
  size_t room = (p.size() - first) / entry_size;
  return static_cast<int>(count < room ? count : room);
}

// IoUnitPg1
inline constexpr uint32_t kIoUnitFlagIrDisabled = 0x40;
inline uint32_t IoUnitPg1IoUnitFlags(ConstBytes p) { return GetU32(p, 4); }
inline void SetIoUnitPg1IoUnitFlags(MutableBytes p, uint32_t v) { PutU32(p, 4, v); }

// IoUnitPg2
inline uint32_t IoUnitPg2BiosVersion(ConstBytes p) { return GetU32(p, 8); }

// IocPg1
inline uint8_t IocPg1PciSlotNum(ConstBytes p) { return GetU8(p, 13); }

// IocPg2
inline constexpr uint32_t kCapabilityIs = 0x1;
inline constexpr uint32_t kCapabilityIme = 0x2;
inline constexpr uint32_t kCapabilityIm = 0x4;
inline constexpr uint32_t kCapability64BitLba = 0x10000000;
inline constexpr uint8_t kVolumeFlagInactive = 0x08;
struct IocPg2Volume {
  uint8_t VolumeID;
  uint8_t VolumeBus;
  uint8_t VolumeType;
  uint8_t VolumeFlags;
};
inline uint32_t IocPg2CapabilityFlags(ConstBytes p) { return GetU32(p, 4); }
inline uint8_t IocPg2NumActiveVolumes(ConstBytes p) { return GetU8(p, 8); }
inline uint8_t IocPg2MaxVolumes(ConstBytes p) { return GetU8(p, 9); }
inline uint8_t IocPg2MaxPhysDisks(ConstBytes p) { return GetU8(p, 11); }
inline int IocPg2VolumeCount(ConstBytes p) {
  return BoundedCount(p, 12, 8, IocPg2NumActiveVolumes(p));
}
inline IocPg2Volume IocPg2VolumeAt(ConstBytes p, int i) {
  size_t e = 12 + 8 * static_cast<size_t>(i);
  return {GetU8(p, e), GetU8(p, e + 1), GetU8(p, e + 4), GetU8(p, e + 5)};
}
inline bool IocPg2ListsVolume(ConstBytes p, uint8_t volume_id) {
  int volumes = IocPg2VolumeCount(p);
  for (int i = 0; i < volumes; ++i) {
    if (IocPg2VolumeAt(p, i).VolumeID == volume_id) return true;
  }
  return false;
}

// IocPg3
struct IocPg3PhysDisk {
  uint8_t PhysDiskID;
  uint8_t PhysDiskBus;
  uint8_t PhysDiskIOC;
  uint8_t PhysDiskNum;
};
inline uint8_t IocPg3NumPhysDisks(ConstBytes p) { return GetU8(p, 4); }
inline int IocPg3PhysDiskCount(ConstBytes p) { return BoundedCount(p, 8, 4, IocPg3NumPhysDisks(p)); }
inline IocPg3PhysDisk IocPg3PhysDiskAt(ConstBytes p, int i) {
  size_t e = 8 + 4 * static_cast<size_t>(i);
  return {GetU8(p, e), GetU8(p, e + 1), GetU8(p, e + 2), GetU8(p, e + 3)};
}

// IocPg5
inline uint8_t IocPg5NumHotSpares(ConstBytes p) { return GetU8(p, 8); }
inline int IocPg5HotSpareCount(ConstBytes p) { return BoundedCount(p, 12, 4, IocPg5NumHotSpares(p)); }
inline uint8_t IocPg5HotSparePhysDiskNum(ConstBytes p, int k) {
  return GetU8(p, 12 + 4 * static_cast<size_t>(k));
}

// IocPg6
inline uint8_t IocPg6MaxDrivesIS(ConstBytes p) { return GetU8(p, 8); }
inline uint8_t IocPg6MaxDrivesIM(ConstBytes p) { return GetU8(p, 9); }
inline uint8_t IocPg6MaxDrivesIME(ConstBytes p) { return GetU8(p, 10); }
inline uint8_t IocPg6MinDrivesIS(ConstBytes p) { return GetU8(p, 12); }
inline uint8_t IocPg6MinDrivesIM(ConstBytes p) { return GetU8(p, 13); }
inline uint8_t IocPg6MinDrivesIME(ConstBytes p) { return GetU8(p, 14); }
inline uint8_t IocPg6MaxHotSpares(ConstBytes p) { return GetU8(p, 16); }
inline uint8_t IocPg6MetadataSize(ConstBytes p) { return GetU8(p, 36); }

// BiosPg2: the boot device address as the page holds it, low word first.
inline uint32_t BiosPg2BootDeviceLow(ConstBytes p) { return GetU32(p, 32); }
inline uint32_t BiosPg2BootDeviceHigh(ConstBytes p) { return GetU32(p, 36); }
inline void SetBiosPg2BootDevice(MutableBytes p, uint32_t low, uint32_t high) {
  PutU32(p, 32, low);
  PutU32(p, 36, high);
}

// ScsiPortPg2
inline uint32_t ScsiPortPg2PortSettings(ConstBytes p) { return GetU32(p, 8); }

// RaidVolPg0
inline constexpr uint8_t kVolumeTypeIS = 0;
inline constexpr uint8_t kVolumeTypeIME = 1;
inline constexpr uint8_t kVolumeTypeIM = 2;
inline constexpr uint8_t kVolumeStatusEnabled = 0x01;
inline constexpr uint8_t kVolumeStatusQuiesced = 0x02;
inline constexpr uint8_t kVolumeStatusResyncing = 0x04;
inline constexpr uint8_t kVolumeStatusInactive = 0x08;
struct RaidVolMember {
  uint8_t PhysDiskMap;
  uint8_t PhysDiskNum;
};
inline uint8_t RaidVolPg0VolumeID(ConstBytes p) { return GetU8(p, 4); }
inline uint8_t RaidVolPg0VolumeBus(ConstBytes p) { return GetU8(p, 5); }
inline uint8_t RaidVolPg0VolumeIOC(ConstBytes p) { return GetU8(p, 6); }
inline uint8_t RaidVolPg0VolumeType(ConstBytes p) { return GetU8(p, 7); }
inline uint8_t RaidVolPg0VolumeStatusFlags(ConstBytes p) { return GetU8(p, 8); }
inline uint8_t RaidVolPg0VolumeState(ConstBytes p) { return GetU8(p, 9); }
inline uint16_t RaidVolPg0VolumeSettings(ConstBytes p) { return GetU16(p, 12); }
inline uint8_t RaidVolPg0HotSparePool(ConstBytes p) { return GetU8(p, 14); }
inline uint32_t RaidVolPg0MaxLBA(ConstBytes p) { return GetU32(p, 16); }
inline uint32_t RaidVolPg0MaxLBAHigh(ConstBytes p) { return GetU32(p, 20); }
inline uint8_t RaidVolPg0NumPhysDisks(ConstBytes p) { return GetU8(p, 36); }
inline int RaidVolPg0MemberCount(ConstBytes p) {
  return BoundedCount(p, 40, 4, RaidVolPg0NumPhysDisks(p));
}
inline RaidVolMember RaidVolPg0MemberAt(ConstBytes p, int m) {
  size_t e = 40 + 4 * static_cast<size_t>(m);
  return {GetU8(p, e + 2), GetU8(p, e + 3)};
}
// Blocks in the volume: MaxLBA over both words, plus one.
inline uint64_t RaidVolPg0Blocks(ConstBytes p) {
  return ((uint64_t{RaidVolPg0MaxLBAHigh(p)} << 32) | RaidVolPg0MaxLBA(p)) + 1;
}
inline void SetRaidVolPg0VolumeID(MutableBytes p, uint8_t v) { PutU8(p, 4, v); }
inline void SetRaidVolPg0VolumeBus(MutableBytes p, uint8_t v) { PutU8(p, 5, v); }
inline void SetRaidVolPg0VolumeIOC(MutableBytes p, uint8_t v) { PutU8(p, 6, v); }
inline void SetRaidVolPg0VolumeType(MutableBytes p, uint8_t v) { PutU8(p, 7, v); }
inline void SetRaidVolPg0VolumeSettings(MutableBytes p, uint16_t v) { PutU16(p, 12, v); }
inline void SetRaidVolPg0HotSparePool(MutableBytes p, uint8_t v) { PutU8(p, 14, v); }
inline void SetRaidVolPg0MaxLBA(MutableBytes p, uint32_t v) { PutU32(p, 16, v); }
inline void SetRaidVolPg0MaxLBAHigh(MutableBytes p, uint32_t v) { PutU32(p, 20, v); }
inline void SetRaidVolPg0NumPhysDisks(MutableBytes p, uint8_t v) { PutU8(p, 36, v); }
inline void SetRaidVolPg0Member(MutableBytes p, int m, uint8_t map, uint8_t phys_disk_num) {
  size_t e = 40 + 4 * static_cast<size_t>(m);
  PutU16(p, e, 0);
  PutU8(p, e + 2, map);
  PutU8(p, e + 3, phys_disk_num);
}

// RaidVolPg1: the world-wide identifier as two words, low word first.
inline uint32_t RaidVolPg1WwidLow(ConstBytes p) { return GetU32(p, 64); }
inline uint32_t RaidVolPg1WwidHigh(ConstBytes p) { return GetU32(p, 68); }

// ManufacturingPg4
inline constexpr uint16_t kIrFlagSsdMixAllowed = 0x40;
inline uint16_t ManufacturingPg4IrFlags(ConstBytes p) { return GetU16(p, 14); }
inline uint32_t ManufacturingPg4IsVolumeSettings(ConstBytes p) { return GetU32(p, 72); }
inline uint32_t ManufacturingPg4ImeVolumeSettings(ConstBytes p) { return GetU32(p, 76); }
inline uint32_t ManufacturingPg4ImVolumeSettings(ConstBytes p) { return GetU32(p, 80); }

// RaidPhysDiskPg0
inline constexpr size_t kInquiryVendorOffset = 40;
inline constexpr size_t kInquiryProductOffset = 48;
inline constexpr size_t kInquiryRevisionOffset = 64;
inline uint8_t RaidPhysDiskPg0PhysDiskID(ConstBytes p) { return GetU8(p, 4); }
inline uint8_t RaidPhysDiskPg0PhysDiskBus(ConstBytes p) { return GetU8(p, 5); }
inline uint8_t RaidPhysDiskPg0PhysDiskIOC(ConstBytes p) { return GetU8(p, 6); }
inline uint8_t RaidPhysDiskPg0PhysDiskNum(ConstBytes p) { return GetU8(p, 7); }
inline uint8_t RaidPhysDiskPg0HotSparePool(ConstBytes p) { return GetU8(p, 10); }
inline uint8_t RaidPhysDiskPg0PhysDiskStatusFlags(ConstBytes p) { return GetU8(p, 100); }
inline uint8_t RaidPhysDiskPg0PhysDiskState(ConstBytes p) { return GetU8(p, 101); }
inline uint32_t RaidPhysDiskPg0MaxLBA(ConstBytes p) { return GetU32(p, 104); }
inline uint16_t RaidPhysDiskPg0SmartCount(ConstBytes p) { return GetU16(p, 116); }
inline uint8_t RaidPhysDiskPg0SmartASC(ConstBytes p) { return GetU8(p, 118); }
inline uint8_t RaidPhysDiskPg0SmartASCQ(ConstBytes p) { return GetU8(p, 119); }
inline void SetRaidPhysDiskPg0PhysDiskID(MutableBytes p, uint8_t v) { PutU8(p, 4, v); }
inline void SetRaidPhysDiskPg0PhysDiskBus(MutableBytes p, uint8_t v) { PutU8(p, 5, v); }
inline void SetRaidPhysDiskPg0PhysDiskIOC(MutableBytes p, uint8_t v) { PutU8(p, 6, v); }
inline void SetRaidPhysDiskPg0HotSparePool(MutableBytes p, uint8_t v) { PutU8(p, 10, v); }
inline void SetRaidPhysDiskPg0MaxLBA(MutableBytes p, uint32_t v) { PutU32(p, 104, v); }

// SasDevicePg0
inline constexpr uint32_t kDeviceInfoEndDevice = 0x1;
inline constexpr uint32_t kDeviceInfoSata = 0x80;
inline constexpr uint32_t kDeviceInfoSsp = 0x400;
inline constexpr uint32_t kDeviceInfoDirectAttach = 0x800;
inline uint16_t SasDevicePg0Slot(ConstBytes p) { return GetU16(p, 8); }
inline uint16_t SasDevicePg0EnclosureHandle(ConstBytes p) { return GetU16(p, 10); }
inline uint32_t SasDevicePg0SasAddressLow(ConstBytes p) { return GetU32(p, 12); }
inline uint32_t SasDevicePg0SasAddressHigh(ConstBytes p) { return GetU32(p, 16); }
inline uint16_t SasDevicePg0ParentDevHandle(ConstBytes p) { return GetU16(p, 20); }
inline uint8_t SasDevicePg0PhyNum(ConstBytes p) { return GetU8(p, 22); }
inline uint16_t SasDevicePg0DevHandle(ConstBytes p) { return GetU16(p, 24); }
inline uint8_t SasDevicePg0TargetID(ConstBytes p) { return GetU8(p, 26); }
inline uint8_t SasDevicePg0Bus(ConstBytes p) { return GetU8(p, 27); }
inline uint32_t SasDevicePg0DeviceInfo(ConstBytes p) { return GetU32(p, 28); }

// SasEnclosurePg0
inline uint32_t SasEnclosurePg0LogicalIDLow(ConstBytes p) { return GetU32(p, 12); }
inline uint32_t SasEnclosurePg0LogicalIDHigh(ConstBytes p) { return GetU32(p, 16); }
inline uint16_t SasEnclosurePg0EnclosureHandle(ConstBytes p) { return GetU16(p, 22); }
inline uint16_t SasEnclosurePg0NumSlots(ConstBytes p) { return GetU16(p, 24); }
inline uint16_t SasEnclosurePg0StartSlot(ConstBytes p) { return GetU16(p, 26); }
inline uint8_t SasEnclosurePg0StartTargetID(ConstBytes p) { return GetU8(p, 28); }
inline uint8_t SasEnclosurePg0StartBus(ConstBytes p) { return GetU8(p, 29); }
