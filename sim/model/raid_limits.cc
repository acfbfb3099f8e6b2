#include "raid_limits.h"

#include <algorithm>

#include "controller.h"
#include "page_image.h"
#include "page_table.h"
#include "raid_config.h"

namespace vxtsim {

namespace {

bool HasIocPg6(const json& ctl) { return PageAvailable(ctl, *FindPageByName("IocPg6")); }

uint8_t Limit(const json& ctl, const char* field, uint8_t sas, uint8_t scsi) {
  if (HasIocPg6(ctl)) return static_cast<uint8_t>(PageField(ctl, "IocPg6", field));
  return IsSasController(ctl) ? sas : scsi;
}

const char* SettingsField(uint8_t type) {
  switch (type) {
    case kVolumeIM:
      return "ImVolumeSettings";
    case kVolumeIME:
      return "ImeVolumeSettings";
    default:
      return "IsVolumeSettings";
  }
}

}  // namespace

MemberCount MemberCountLimits(const json& ctl, uint8_t type) {
  switch (type) {
    case kVolumeIM:
      return {Limit(ctl, "MinDrivesIM", 2, 2), Limit(ctl, "MaxDrivesIM", 2, 2)};
    case kVolumeIME:
      return {Limit(ctl, "MinDrivesIME", 3, 3), Limit(ctl, "MaxDrivesIME", 8, 6)};
    default:
      return {Limit(ctl, "MinDrivesIS", 2, 2), Limit(ctl, "MaxDrivesIS", 8, 6)};
  }
}

uint8_t MaxHotSpares(const json& ctl) { return Limit(ctl, "MaxHotSpares", 1, 1); }

uint64_t MetadataReserveBlocks(const json& ctl, uint8_t type) {
  if (PageAvailable(ctl, *FindPageByName("ManufacturingPg4")) &&
      (PageField(ctl, "ManufacturingPg4", SettingsField(type)) & 0xC0) == 0x40) {
    return 0x100000;
  }
  if (HasIocPg6(ctl)) return PageField(ctl, "IocPg6", "MetadataSize") << 11;
  return IsSasController(ctl) ? 0x20000 : 0x80;
}

bool TypeSupported(const json& ctl, uint8_t type) {
  if (type > kVolumeIM || IrDisabled(ctl)) return false;
  return (PageField(ctl, "IocPg2", "CapabilityFlags") >> type & 1) != 0;
}

bool WideVolumesSupported(const json& ctl) {
  return (PageField(ctl, "IocPg2", "CapabilityFlags") & 0x10000000) != 0;
}

uint64_t VolumeCapacity(const json& ctl, uint8_t type, const std::vector<uint64_t>& member_blocks) {
  if (member_blocks.empty()) return 0;
  uint64_t smallest = *std::min_element(member_blocks.begin(), member_blocks.end());
  if (type == kVolumeIM) return smallest;
  uint64_t reserve = MetadataReserveBlocks(ctl, type);
  uint64_t usable = smallest > reserve ? smallest - reserve : 0;
  uint64_t total = usable * member_blocks.size();
  return type == kVolumeIME ? total / 2 : total;
}

}  // namespace vxtsim
