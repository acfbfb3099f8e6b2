#include <algorithm>

#include "controller.h"
#include "derived_pages.h"
#include "page_image.h"
#include "protocol.h"
#include "raid_config.h"

namespace vxtsim {

namespace {

size_t Larger(uint64_t a, size_t b) { return std::max<size_t>(static_cast<size_t>(a), b); }

std::vector<const json*> HotSpares(const json& ctl) {
  std::vector<const json*> spares;
  for (const json& pd : PhysDisks(ctl)) {
    if (IsHotSpare(ctl, pd)) spares.push_back(&pd);
  }
  return spares;
}

// Volume pages are addressed by bus × 256 + target ID.
const json* VolumeAt(const json& ctl, uint32_t address) {
  if (address > 0xFFFF) return nullptr;
  return FindVolume(ctl, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address));
}

}  // namespace

uint16_t IocPg2Length(const json& ctl) {
  return static_cast<uint16_t>(3 + 2 * Larger(PageField(ctl, "IocPg2", "MaxVolumes"), Volumes(ctl).size()));
}

uint16_t IocPg3Length(const json& ctl) {
  return static_cast<uint16_t>(2 + Larger(PageField(ctl, "IocPg2", "MaxPhysDisks"), PhysDisks(ctl).size()));
}

uint16_t IocPg5Length(const json& ctl) {
  return static_cast<uint16_t>(3 + Larger(PageField(ctl, "IocPg6", "MaxHotSpares"), HotSpares(ctl).size()));
}

uint16_t RaidVolPg0Length(const json& ctl) {
  size_t members = std::max({PageField(ctl, "IocPg6", "MaxDrivesIS"),
                             PageField(ctl, "IocPg6", "MaxDrivesIME"),
                             PageField(ctl, "IocPg6", "MaxDrivesIM")});
  for (const json& vol : Volumes(ctl)) members = std::max(members, VolumeMembers(vol).size());
  return static_cast<uint16_t>(10 + members);
}

uint16_t BuildIocPg2(const PageRequest& req, Bytes& page) {
  if (IrDisabled(req.controller)) Put32(page, 4, Get32(page, 4) & ~uint32_t{0x7});
  const json& volumes = Volumes(req.controller);
  Put8(page, 8, volumes.size());
  for (size_t i = 0; i < volumes.size(); ++i) {
    const json& vol = volumes[i];
    size_t at = 12 + 8 * i;
    Put8(page, at, VolumeId(vol));
    Put8(page, at + 1, VolumeBus(vol));
    Put8(page, at + 2, Num(vol, "ioc", IocNumber(req.controller)));
    Put8(page, at + 4, VolumeType(vol));
    Put8(page, at + 5, VolumeInactive(vol) ? 0x08 : 0x00);
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg3(const PageRequest& req, Bytes& page) {
  const json& disks = PhysDisks(req.controller);
  Put8(page, 4, disks.size());
  for (size_t i = 0; i < disks.size(); ++i) {
    size_t at = 8 + 4 * i;
    Put8(page, at, Num(disks[i], "target", 0));
    Put8(page, at + 1, Num(disks[i], "bus", 0));
    Put8(page, at + 2, Num(disks[i], "ioc", IocNumber(req.controller)));
    Put8(page, at + 3, PhysDiskNum(disks[i]));
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg5(const PageRequest& req, Bytes& page) {
  std::vector<const json*> spares = HotSpares(req.controller);
  Put8(page, 8, spares.size());
  for (size_t k = 0; k < spares.size(); ++k) {
    size_t at = 12 + 4 * k;
    Put8(page, at, PhysDiskNum(*spares[k]));
    Put8(page, at + 1, Num(*spares[k], "hot_spare_pool", 1));
  }
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg0(const PageRequest& req, Bytes& page) {
  const json* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  uint8_t type = VolumeType(*vol);
  std::vector<VolumeMember> members = VolumeMembers(*vol);
  uint64_t max_lba = VolumeMaxLba(req.controller, *vol);
  Put8(page, 4, VolumeId(*vol));
  Put8(page, 5, VolumeBus(*vol));
  Put8(page, 6, Num(*vol, "ioc", IocNumber(req.controller)));
  Put8(page, 7, type);
  Put8(page, 8, VolumeStatusFlags(*vol));
  Put8(page, 9, Num(*vol, "state", 0));
  Put16(page, 12, Num(*vol, "settings", 0x8000));
  Put8(page, 14, Num(*vol, "hot_spare_pool", type == kVolumeIS ? 0 : 1));
  Put32(page, 16, max_lba);
  Put32(page, 20, max_lba >> 32);
  Put8(page, 36, members.size());
  for (size_t m = 0; m < members.size(); ++m) {
    Put8(page, 42 + 4 * m, members[m].map);
    Put8(page, 43 + 4 * m, members[m].num);
  }
  ApplyPatches(Member(*vol, "page_bytes"), page);
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg1(const PageRequest& req, Bytes& page) {
  const json* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  uint64_t fallback = 0x50000D1100000000ull | uint64_t{IocNumber(req.controller)} << 16 |
                      req.address;
  Put8(page, 4, VolumeId(*vol));
  Put8(page, 5, VolumeBus(*vol));
  Put8(page, 6, Num(*vol, "ioc", IocNumber(req.controller)));
  Put64(page, 64, Num(*vol, "wwid", fallback));
  return kStatusSuccess;
}

uint16_t BuildRaidPhysDiskPg0(const PageRequest& req, Bytes& page) {
  if (req.address > 0xFF) return kStatusConfigInvalidPage;
  const json* pd = FindPhysDisk(req.controller, static_cast<uint8_t>(req.address));
  if (!pd) return kStatusConfigInvalidPage;
  uint32_t target = static_cast<uint32_t>(Num(*pd, "target", 0));
  const json* dev = FindDeviceAtTarget(req.controller, target);
  const json& strings = Member(*pd, "vendor").is_null() && dev ? *dev : *pd;
  const json& smart = Member(*pd, "smart");
  Put8(page, 4, target);
  Put8(page, 5, Num(*pd, "bus", 0));
  Put8(page, 6, Num(*pd, "ioc", IocNumber(req.controller)));
  Put8(page, 7, PhysDiskNum(*pd));
  Put8(page, 10, Num(*pd, "hot_spare_pool", 0));
  PutText(page, 40, 8, Text(strings, "vendor", ""));
  PutText(page, 48, 16, Text(strings, "product", ""));
  PutText(page, 64, 4, Text(strings, "revision", ""));
  Put8(page, 100, Num(*pd, "status_flags", 0));
  Put8(page, 101, Num(*pd, "state", 0));
  Put32(page, 104, PhysDiskMaxLba(req.controller, *pd));
  Put16(page, 116, Num(smart, "count", 0));
  Put8(page, 118, Num(smart, "asc", 0));
  Put8(page, 119, Num(smart, "ascq", 0));
  ApplyPatches(Member(*pd, "page_bytes"), page);
  return kStatusSuccess;
}

}  // namespace vxtsim
