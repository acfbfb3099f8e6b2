#include "firmware/scsi_target.h"

#include <algorithm>

#include "firmware/raid_config.h"

namespace vxtsim {

namespace {

// The disks of a mirror's online members, the primary first.
std::vector<BlockStore*> MirrorStores(Controller& ctl, const Volume& vol) {
  std::vector<VolumeMember> members = vol.members;
  std::stable_sort(members.begin(), members.end(),
                   [](const VolumeMember& a, const VolumeMember& b) { return a.map < b.map; });
  std::vector<BlockStore*> stores;
  for (const VolumeMember& m : members) {
    const PhysDisk* pd = FindPhysDisk(ctl, m.num);
    if (!pd || pd->state != kDiskOnline) continue;
    if (Device* disk = DiskAt(ctl, pd->bus, pd->target)) stores.push_back(&disk->block_data);
  }
  return stores;
}

}  // namespace

const Device* DiskAt(const Controller& ctl, uint8_t bus, uint8_t target) {
  for (const Device& dev : ctl.devices) {
    if (!dev.IsDisk() || !dev.HasTarget()) continue;
    if (dev.target.value == target && dev.bus.value == bus) return &dev;
  }
  return nullptr;
}

Device* DiskAt(Controller& ctl, uint8_t bus, uint8_t target) {
  return const_cast<Device*>(DiskAt(static_cast<const Controller&>(ctl), bus, target));
}

ScsiTarget FindScsiTarget(Controller& ctl, bool member_path, uint8_t bus, uint8_t target) {
  ScsiTarget t;
  if (member_path) {
    const PhysDisk* pd = FindPhysDisk(ctl, target);
    if (!pd) return t;
    t.disk = DiskAt(ctl, pd->bus, pd->target);
  } else if (!IsPhysDiskTarget(ctl, bus, target)) {
    t.disk = DiskAt(ctl, bus, target);
  }
  if (t.disk) {
    t.blocks = t.disk->blocks;
    t.block_size = t.disk->block_size;
    t.stores = {&t.disk->block_data};
    return t;
  }
  if (member_path) return t;
  for (Volume& vol : ctl.raid.volumes) {
    if (vol.id.value == target && vol.bus.value == bus && !vol.inactive) {
      t.volume = &vol;
      t.blocks = VolumeMaxLba(ctl, vol) + 1;
      t.stores.clear();
      if (vol.type == kVolumeIM) t.stores = MirrorStores(ctl, vol);
      if (t.stores.empty()) t.stores = {&vol.block_data};
    }
  }
  return t;
}

void ReadBlocks(const BlockStore& store, uint64_t lba, uint32_t count, uint32_t block_size,
                Bytes& out) {
  out.assign(size_t{count} * block_size, 0);
  if (store.blocks.empty()) return;
  for (uint32_t i = 0; i < count; ++i) {
    auto it = store.blocks.find(lba + i);
    if (it == store.blocks.end()) continue;
    const Bytes& block = it->second.data;
    std::copy_n(block.begin(), std::min<size_t>(block.size(), block_size),
                out.begin() + static_cast<long>(size_t{i} * block_size));
  }
}

void WriteBlocks(BlockStore& store, uint64_t lba, uint32_t count, uint32_t block_size,
                 const Bytes& in) {
  store.given = true;
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = size_t{i} * block_size;
    if (at >= in.size()) break;
    size_t end = std::min(in.size(), at + block_size);
    // Zero blocks are not stored, which keeps a formatted disk small.
    size_t last = end;
    while (last > at && in[last - 1] == 0) --last;
    if (last == at) {
      store.blocks.erase(lba + i);
      continue;
    }
    StoredBlock& block = store.blocks[lba + i];
    block.data.assign(in.begin() + static_cast<long>(at), in.begin() + static_cast<long>(last));
    block.text = ToHex(block.data);
  }
}

}  // namespace vxtsim
