#include "firmware/raid_limits.h"

#include <algorithm>

#include "firmware/controller.h"
#include "firmware/page_image.h"
#include "model/raid_state.h"

namespace vxtsim {

namespace {

bool HasIocPg6(const Controller& ctl) { return PageAvailable(ctl, PageAt(kIocPg6)); }

uint8_t Limit(const Controller& ctl, uint8_t field, uint8_t sas, uint8_t scsi) {
  if (HasIocPg6(ctl)) return static_cast<uint8_t>(PageField(ctl, kIocPg6, field));
  return ctl.sas ? sas : scsi;
}

uint8_t SettingsField(uint8_t type) {
  switch (type) {
    case kVolumeIM:
      return kImVolumeSettings;
    case kVolumeIME:
      return kImeVolumeSettings;
    default:
      return kIsVolumeSettings;
  }
}

}  // namespace

MemberCount MemberCountLimits(const Controller& ctl, uint8_t type) {
  switch (type) {
    case kVolumeIM:
      return {Limit(ctl, kMinDrivesIM, 2, 2), Limit(ctl, kMaxDrivesIM, 2, 2)};
    case kVolumeIME:
      return {Limit(ctl, kMinDrivesIME, 3, 3), Limit(ctl, kMaxDrivesIME, 8, 6)};
    default:
      return {Limit(ctl, kMinDrivesIS, 2, 2), Limit(ctl, kMaxDrivesIS, 8, 6)};
  }
}

uint8_t MaxHotSpares(const Controller& ctl) { return Limit(ctl, kMaxHotSpares, 1, 1); }

uint64_t MetadataReserveBlocks(const Controller& ctl, uint8_t type) {
  if (PageAvailable(ctl, PageAt(kManufacturingPg4)) &&
      (PageField(ctl, kManufacturingPg4, SettingsField(type)) & 0xC0) == 0x40) {
    return 0x100000;
  }
  if (HasIocPg6(ctl)) return PageField(ctl, kIocPg6, kMetadataSize) << 11;
  return ctl.sas ? 0x20000 : 0x80;
}

bool TypeSupported(const Controller& ctl, uint8_t type) {
  if (type > kVolumeIM || IrDisabled(ctl)) return false;
  return (PageField(ctl, kIocPg2, kCapabilityFlags) >> type & 1) != 0;
}

bool WideVolumesSupported(const Controller& ctl) {
  return (PageField(ctl, kIocPg2, kCapabilityFlags) & 0x10000000) != 0;
}

uint64_t VolumeCapacity(const Controller& ctl, uint8_t type,
                        const std::vector<uint64_t>& member_blocks) {
  if (member_blocks.empty()) return 0;
  uint64_t smallest = *std::min_element(member_blocks.begin(), member_blocks.end());
  if (type == kVolumeIM) return smallest;
  uint64_t reserve = MetadataReserveBlocks(ctl, type);
  uint64_t usable = smallest > reserve ? smallest - reserve : 0;
  uint64_t total = usable * member_blocks.size();
  return type == kVolumeIME ? total / 2 : total;
}

}  // namespace vxtsim
