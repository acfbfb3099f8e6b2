#include <algorithm>

#include "driver/protocol.h"
#include "firmware/controller.h"
#include "firmware/derived_pages.h"
#include "firmware/page_image.h"
#include "raid/raid_config.h"

namespace vxtsim {

namespace {

size_t Larger(uint64_t a, size_t b) { return std::max<size_t>(static_cast<size_t>(a), b); }

std::vector<const PhysDisk*> HotSpares(const Controller& ctl) {
  std::vector<const PhysDisk*> spares;
  for (const PhysDisk& pd : ctl.raid.phys_disks) {
    if (IsHotSpare(ctl, pd)) spares.push_back(&pd);
  }
  return spares;
}

// Volume pages are addressed by bus × 256 + target ID.
const Volume* VolumeAt(const Controller& ctl, uint32_t address) {
  if (address > 0xFFFF) return nullptr;
  return FindVolume(ctl, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address));
}

}  // namespace

uint16_t IocPg2Length(const Controller& ctl) {
  return static_cast<uint16_t>(
      3 + 2 * Larger(PageField(ctl, kIocPg2, kMaxVolumes), ctl.raid.volumes.size()));
}

uint16_t IocPg3Length(const Controller& ctl) {
  return static_cast<uint16_t>(
      2 + Larger(PageField(ctl, kIocPg2, kMaxPhysDisks), ctl.raid.phys_disks.size()));
}

uint16_t IocPg5Length(const Controller& ctl) {
  return static_cast<uint16_t>(3 +
                               Larger(PageField(ctl, kIocPg6, kMaxHotSpares), HotSpareCount(ctl)));
}

uint16_t RaidVolPg0Length(const Controller& ctl) {
  size_t members =
      std::max({PageField(ctl, kIocPg6, kMaxDrivesIS), PageField(ctl, kIocPg6, kMaxDrivesIME),
                PageField(ctl, kIocPg6, kMaxDrivesIM)});
  for (const Volume& vol : ctl.raid.volumes) members = std::max(members, vol.members.size());
  return static_cast<uint16_t>(10 + members);
}

uint16_t BuildIocPg2(const PageRequest& req, Bytes& page) {
  const Controller& ctl = req.controller;
  if (IrDisabled(ctl)) Put32(page, 4, Get32(page, 4) & ~uint32_t{0x7});
  const std::vector<Volume>& volumes = ctl.raid.volumes;
  Put8(page, 8, volumes.size());
  for (size_t i = 0; i < volumes.size(); ++i) {
    const Volume& vol = volumes[i];
    size_t at = 12 + 8 * i;
    Put8(page, at, vol.id);
    Put8(page, at + 1, vol.bus);
    Put8(page, at + 2, vol.ioc);
    Put8(page, at + 4, vol.type);
    Put8(page, at + 5, vol.inactive ? 0x08 : 0x00);
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg3(const PageRequest& req, Bytes& page) {
  const std::vector<PhysDisk>& disks = req.controller.raid.phys_disks;
  Put8(page, 4, disks.size());
  for (size_t i = 0; i < disks.size(); ++i) {
    size_t at = 8 + 4 * i;
    Put8(page, at, disks[i].target);
    Put8(page, at + 1, disks[i].bus);
    Put8(page, at + 2, disks[i].ioc);
    Put8(page, at + 3, disks[i].num);
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg5(const PageRequest& req, Bytes& page) {
  std::vector<const PhysDisk*> spares = HotSpares(req.controller);
  Put8(page, 8, spares.size());
  for (size_t k = 0; k < spares.size(); ++k) {
    size_t at = 12 + 4 * k;
    Put8(page, at, spares[k]->num);
    Put8(page, at + 1, spares[k]->hot_spare_pool);
  }
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg0(const PageRequest& req, Bytes& page) {
  const Volume* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  uint64_t max_lba = VolumeMaxLba(req.controller, *vol);
  Put8(page, 4, vol->id);
  Put8(page, 5, vol->bus);
  Put8(page, 6, vol->ioc);
  Put8(page, 7, vol->type);
  Put8(page, 8, VolumeStatusFlags(*vol));
  Put8(page, 9, vol->state);
  Put16(page, 12, vol->settings);
  Put8(page, 14, vol->hot_spare_pool);
  Put32(page, 16, max_lba);
  Put32(page, 20, max_lba >> 32);
  Put8(page, 36, vol->members.size());
  for (size_t m = 0; m < vol->members.size(); ++m) {
    Put8(page, 42 + 4 * m, vol->members[m].map);
    Put8(page, 43 + 4 * m, vol->members[m].num);
  }
  ApplyPatches(vol->page_bytes, page);
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg1(const PageRequest& req, Bytes& page) {
  const Volume* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  Put8(page, 4, vol->id);
  Put8(page, 5, vol->bus);
  Put8(page, 6, vol->ioc);
  Put64(page, 64, vol->wwid);
  return kStatusSuccess;
}

uint16_t BuildRaidPhysDiskPg0(const PageRequest& req, Bytes& page) {
  const Controller& ctl = req.controller;
  if (req.address > 0xFF) return kStatusConfigInvalidPage;
  const PhysDisk* pd = FindPhysDisk(ctl, static_cast<uint8_t>(req.address));
  if (!pd) return kStatusConfigInvalidPage;
  const Device* dev = FindDeviceAtTarget(ctl, pd->target);
  // Without strings of its own a physical disk shows its disk's.
  bool own = pd->vendor.given || !dev;
  Put8(page, 4, pd->target);
  Put8(page, 5, pd->bus);
  Put8(page, 6, pd->ioc);
  Put8(page, 7, pd->num);
  Put8(page, 10, pd->hot_spare_pool);
  PutText(page, 40, 8, own ? pd->vendor : dev->vendor);
  PutText(page, 48, 16, own ? pd->product : dev->product);
  PutText(page, 64, 4, own ? pd->revision : dev->revision);
  Put8(page, 100, pd->status_flags);
  Put8(page, 101, pd->state);
  Put32(page, 104, PhysDiskMaxLba(ctl, *pd));
  Put16(page, 116, pd->smart.count);
  Put8(page, 118, pd->smart.asc);
  Put8(page, 119, pd->smart.ascq);
  ApplyPatches(pd->page_bytes, page);
  return kStatusSuccess;
}

}  // namespace vxtsim
