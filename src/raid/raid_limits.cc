#include "raid/raid_limits.h"

#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr uint8_t kDefaultMaxPhysDisks = 10;
constexpr uint32_t kLargeMetadataBlocks = 0x100000;  // 512 MiB
constexpr uint32_t kSettingsReserveMask = 0xC0;
constexpr uint32_t kSettingsLargeReserve = 0x40;

uint32_t VolumeSettingsWord(ConstBytes mfg4, uint8_t volume_type) {
  if (volume_type == kVolumeTypeIM) return ManufacturingPg4ImVolumeSettings(mfg4);
  if (volume_type == kVolumeTypeIME) return ManufacturingPg4ImeVolumeSettings(mfg4);
  return ManufacturingPg4IsVolumeSettings(mfg4);
}

}  // namespace

RaidLimits DefaultRaidLimits(uint8_t bus_type) {
  if (bus_type == kBusTypeSas) return {8, 2, 8, 2, 2, 3, 1, 0x20000, kDefaultMaxPhysDisks};
  return {6, 2, 6, 2, 2, 3, 1, 0x80, kDefaultMaxPhysDisks};
}

RaidLimits LoadRaidLimits(ControllerInfo* c, uint8_t volume_type) {
  RaidLimits limits = DefaultRaidLimits(c->BusType);
  PageBuffer page;
  if (ReadIocPg6(c, &page)) {
    limits.MaxDrivesIS = IocPg6MaxDrivesIS(page);
    limits.MaxDrivesIM = IocPg6MaxDrivesIM(page);
    limits.MaxDrivesIME = IocPg6MaxDrivesIME(page);
    limits.MinDrivesIS = IocPg6MinDrivesIS(page);
    limits.MinDrivesIM = IocPg6MinDrivesIM(page);
    limits.MinDrivesIME = IocPg6MinDrivesIME(page);
    limits.MaxHotSpares = IocPg6MaxHotSpares(page);
    limits.MetadataBlocks = uint32_t{IocPg6MetadataSize(page)} << 11;
  }
  if (ReadIocPg2(c, &page)) {
    limits.MaxPhysDisks = IocPg2MaxPhysDisks(page);
  }
  if (ReadManufacturingPg4(c, &page) &&
      (VolumeSettingsWord(page, volume_type) & kSettingsReserveMask) == kSettingsLargeReserve) {
    limits.MetadataBlocks = kLargeMetadataBlocks;
  }
  return limits;
}

DriveCountRange DriveCountOf(const RaidLimits& l, uint8_t volume_type) {
  auto at_least = [](int limit, int floor) { return limit > floor ? limit : floor; };
  if (volume_type == kVolumeTypeIM) return {at_least(l.MinDrivesIM, 2), l.MaxDrivesIM};
  if (volume_type == kVolumeTypeIME) return {at_least(l.MinDrivesIME, 2), l.MaxDrivesIME};
  return {at_least(l.MinDrivesIS, 1), l.MaxDrivesIS};
}
