#include <algorithm>

#include "firmware/controller.h"
#include "firmware/derived_pages.h"
#include "firmware/layouts.h"
#include "firmware/page_image.h"
#include "firmware/raid_config.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

namespace L = layout;

// Page lengths are counted in 32-bit words.
constexpr size_t kWordBytes = 4;

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
  size_t volumes = Larger(PageField(ctl, kIocPg2, kMaxVolumes), ctl.raid.volumes.size());
  return static_cast<uint16_t>((L::ioc_pg2::kVolumes + L::ioc_pg2::kVolumeSize * volumes) /
                               kWordBytes);
}

uint16_t IocPg3Length(const Controller& ctl) {
  size_t disks = Larger(PageField(ctl, kIocPg2, kMaxPhysDisks), ctl.raid.phys_disks.size());
  return static_cast<uint16_t>((L::ioc_pg3::kPhysDisks + L::ioc_pg3::kPhysDiskSize * disks) /
                               kWordBytes);
}

uint16_t IocPg5Length(const Controller& ctl) {
  size_t spares = Larger(PageField(ctl, kIocPg6, kMaxHotSpares), HotSpareCount(ctl));
  return static_cast<uint16_t>((L::ioc_pg5::kHotSpares + L::ioc_pg5::kHotSpareSize * spares) /
                               kWordBytes);
}

uint16_t RaidVolPg0Length(const Controller& ctl) {
  size_t members =
      std::max({PageField(ctl, kIocPg6, kMaxDrivesIS), PageField(ctl, kIocPg6, kMaxDrivesIME),
                PageField(ctl, kIocPg6, kMaxDrivesIM)});
  for (const Volume& vol : ctl.raid.volumes) members = std::max(members, vol.members.size());
  return static_cast<uint16_t>(
      (L::raid_vol_pg0::kPhysDisks + L::raid_vol_pg0::kPhysDiskSize * members) / kWordBytes);
}

uint16_t BuildIocPg2(const PageRequest& req, Bytes& page) {
  namespace P = layout::ioc_pg2;
  const Controller& ctl = req.controller;
  if (IrDisabled(ctl)) {
    Put32(page, P::kCapabilities, Get32(page, P::kCapabilities) & ~P::kRaidCapabilityBits);
  }
  const std::vector<Volume>& volumes = ctl.raid.volumes;
  Put8(page, P::kNumActiveVolumes, volumes.size());
  for (size_t i = 0; i < volumes.size(); ++i) {
    const Volume& vol = volumes[i];
    size_t at = P::kVolumes + P::kVolumeSize * i;
    Put8(page, at + P::kVolumeId, vol.id);
    Put8(page, at + P::kVolumeBus, vol.bus);
    Put8(page, at + P::kVolumeIoc, vol.ioc);
    Put8(page, at + P::kVolumeType, vol.type);
    Put8(page, at + P::kVolumeFlags, vol.inactive ? P::kVolumeInactive : 0x00);
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg3(const PageRequest& req, Bytes& page) {
  namespace P = layout::ioc_pg3;
  const std::vector<PhysDisk>& disks = req.controller.raid.phys_disks;
  Put8(page, P::kNumPhysDisks, disks.size());
  for (size_t i = 0; i < disks.size(); ++i) {
    size_t at = P::kPhysDisks + P::kPhysDiskSize * i;
    Put8(page, at + P::kPhysDiskId, disks[i].target);
    Put8(page, at + P::kPhysDiskBus, disks[i].bus);
    Put8(page, at + P::kPhysDiskIoc, disks[i].ioc);
    Put8(page, at + P::kPhysDiskNum, disks[i].num);
  }
  return kStatusSuccess;
}

uint16_t BuildIocPg5(const PageRequest& req, Bytes& page) {
  namespace P = layout::ioc_pg5;
  std::vector<const PhysDisk*> spares = HotSpares(req.controller);
  Put8(page, P::kNumHotSpares, spares.size());
  for (size_t k = 0; k < spares.size(); ++k) {
    size_t at = P::kHotSpares + P::kHotSpareSize * k;
    Put8(page, at + P::kHotSparePhysDiskNum, spares[k]->num);
    Put8(page, at + P::kHotSparePool, spares[k]->hot_spare_pool);
  }
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg0(const PageRequest& req, Bytes& page) {
  namespace P = layout::raid_vol_pg0;
  const Volume* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  uint64_t max_lba = VolumeMaxLba(req.controller, *vol);
  Put8(page, P::kVolumeId, vol->id);
  Put8(page, P::kVolumeBus, vol->bus);
  Put8(page, P::kVolumeIoc, vol->ioc);
  Put8(page, P::kVolumeType, vol->type);
  Put8(page, P::kStatusFlags, VolumeStatusFlags(*vol));
  Put8(page, P::kStatusState, vol->state);
  Put16(page, P::kSettings, vol->settings);
  Put8(page, P::kHotSparePool, vol->hot_spare_pool);
  Put32(page, P::kMaxLbaLow, max_lba);
  Put32(page, P::kMaxLbaHigh, max_lba >> 32);
  Put8(page, P::kNumPhysDisks, vol->members.size());
  for (size_t m = 0; m < vol->members.size(); ++m) {
    size_t at = P::kPhysDisks + P::kPhysDiskSize * m;
    Put8(page, at + P::kPhysDiskMap, vol->members[m].map);
    Put8(page, at + P::kPhysDiskNum, vol->members[m].num);
  }
  ApplyPatches(vol->page_bytes, page);
  return kStatusSuccess;
}

uint16_t BuildRaidVolPg1(const PageRequest& req, Bytes& page) {
  namespace P = layout::raid_vol_pg1;
  const Volume* vol = VolumeAt(req.controller, req.address);
  if (!vol) return kStatusConfigInvalidPage;
  Put8(page, P::kVolumeId, vol->id);
  Put8(page, P::kVolumeBus, vol->bus);
  Put8(page, P::kVolumeIoc, vol->ioc);
  Put64(page, P::kWwid, vol->wwid);
  return kStatusSuccess;
}

uint16_t BuildRaidPhysDiskPg0(const PageRequest& req, Bytes& page) {
  namespace P = layout::raid_phys_disk_pg0;
  const Controller& ctl = req.controller;
  if (req.address > 0xFF) return kStatusConfigInvalidPage;
  const PhysDisk* pd = FindPhysDisk(ctl, static_cast<uint8_t>(req.address));
  if (!pd) return kStatusConfigInvalidPage;
  const Device* dev = FindDeviceAtTarget(ctl, pd->target);
  // Without strings of its own a physical disk shows its disk's.
  bool own = pd->vendor.given || !dev;
  Put8(page, P::kPhysDiskId, pd->target);
  Put8(page, P::kPhysDiskBus, pd->bus);
  Put8(page, P::kPhysDiskIoc, pd->ioc);
  Put8(page, P::kPhysDiskNum, pd->num);
  Put8(page, P::kHotSparePool, pd->hot_spare_pool);
  PutText(page, P::kVendorId, P::kVendorIdSize, own ? pd->vendor : dev->vendor);
  PutText(page, P::kProductId, P::kProductIdSize, own ? pd->product : dev->product);
  PutText(page, P::kProductRev, P::kProductRevSize, own ? pd->revision : dev->revision);
  Put8(page, P::kStatusFlags, pd->status_flags);
  Put8(page, P::kStatusState, pd->state);
  Put32(page, P::kMaxLba, PhysDiskMaxLba(ctl, *pd));
  Put16(page, P::kSmartCount, pd->smart.count);
  Put8(page, P::kSmartAsc, pd->smart.asc);
  Put8(page, P::kSmartAscq, pd->smart.ascq);
  ApplyPatches(pd->page_bytes, page);
  return kStatusSuccess;
}

}  // namespace vxtsim
