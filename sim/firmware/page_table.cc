#include "firmware/page_table.h"

#include "firmware/derived_pages.h"

namespace vxtsim {

namespace {

std::vector<PageDef> MakeDirectory() {
  using S = PageScope;
  return {
      {"IoUnitPg1", 0, 1, 0, 2, 2, true, S::kAny, {{"IoUnitFlags", 4, 4, 0}}},
      {"IoUnitPg2", 0, 2, 0, 2, 7, true, S::kAny, {{"BiosVersion", 8, 4, 0x06180000}}},
      {"IocPg1", 1, 1, 0, 3, 4, true, S::kAny, {{"PciSlotNum", 13, 1, 0xFF}}},
      {"IocPg2",
       1,
       2,
       0,
       3,
       0,
       false,
       S::kAny,
       {{"CapabilityFlags", 4, 4, 0x7}, {"MaxVolumes", 9, 1, 2}, {"MaxPhysDisks", 11, 1, 10}},
       BuildIocPg2,
       IocPg2Length},
      {"IocPg3", 1, 3, 0, 1, 0, false, S::kAny, {}, BuildIocPg3, IocPg3Length},
      {"IocPg5", 1, 5, 0, 1, 0, false, S::kAny, {}, BuildIocPg5, IocPg5Length},
      {"IocPg6",
       1,
       6,
       0,
       1,
       16,
       false,
       S::kAny,
       {{"MaxDrivesIS", 8, 1, 8},
        {"MaxDrivesIM", 9, 1, 2},
        {"MaxDrivesIME", 10, 1, 8},
        {"MinDrivesIS", 12, 1, 2},
        {"MinDrivesIM", 13, 1, 2},
        {"MinDrivesIME", 14, 1, 3},
        {"MaxHotSpares", 16, 1, 2},
        {"MetadataSize", 36, 1, 64}}},
      {"BiosPg2", 2, 2, 0, 2, 16, true, S::kAny, {{"BootDeviceAddress", 32, 8, 0}}},
      {"ScsiPortPg2", 3, 2, 0, 2, 4, true, S::kScsi, {{"PortSettings", 8, 4, 7}}},
      {"RaidVolPg0", 8, 0, 0, 4, 0, false, S::kAny, {}, BuildRaidVolPg0, RaidVolPg0Length},
      {"RaidVolPg1", 8, 1, 0, 1, 18, false, S::kAny, {}, BuildRaidVolPg1},
      {"ManufacturingPg4",
       9,
       4,
       0,
       4,
       21,
       true,
       S::kAny,
       {{"IrFlags", 14, 2, 0},
        {"IsVolumeSettings", 72, 4, 0},
        {"ImeVolumeSettings", 76, 4, 0},
        {"ImVolumeSettings", 80, 4, 0}}},
      {"RaidPhysDiskPg0", 10, 0, 0, 1, 30, false, S::kAny, {}, BuildRaidPhysDiskPg0},
      {"SasDevicePg0", kExtendedPageType, 0, 0x12, 4, 13, false, S::kSas, {}, BuildSasDevicePg0},
      {"SasEnclosurePg0",
       kExtendedPageType,
       0,
       0x15,
       1,
       9,
       false,
       S::kSas,
       {},
       BuildSasEnclosurePg0},
  };
}

}  // namespace

const std::vector<PageDef>& PageDirectory() {
  static const std::vector<PageDef> directory = MakeDirectory();
  return directory;
}

const PageDef& PageAt(PageIndex index) { return PageDirectory()[index]; }

const PageDef* FindPage(uint8_t type, uint8_t number, uint8_t ext_type) {
  for (const PageDef& def : PageDirectory()) {
    if (def.type != type || def.number != number) continue;
    if (type == kExtendedPageType && def.ext_type != ext_type) continue;
    return &def;
  }
  return nullptr;
}

const PageDef* FindPageByName(const std::string& name) {
  for (const PageDef& def : PageDirectory()) {
    if (name == def.name) return &def;
  }
  return nullptr;
}

}  // namespace vxtsim
