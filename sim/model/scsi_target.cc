#include "scsi_target.h"

#include <algorithm>

#include "raid_config.h"
#include "raid_edit.h"

namespace vxtsim {

json* DiskAt(json& ctl, uint8_t bus, uint8_t target) {
  if (!ctl.contains("devices") || !ctl["devices"].is_array()) return nullptr;
  for (json& dev : ctl["devices"]) {
    if (Text(dev, "kind", "disk") != "disk" || Member(dev, "target").is_null()) continue;
    if (Num(dev, "target", 0) == target && Num(dev, "bus", 0) == bus) return &dev;
  }
  return nullptr;
}

std::vector<json*> MirrorDisks(json& ctl, const json& vol) {
  std::vector<VolumeMember> members = VolumeMembers(vol);
  std::stable_sort(members.begin(), members.end(),
                   [](const VolumeMember& a, const VolumeMember& b) { return a.map < b.map; });
  std::vector<json*> disks;
  for (const VolumeMember& m : members) {
    const json* pd = FindPhysDisk(ctl, m.num);
    if (!pd || Num(*pd, "state", 0) != 0) continue;
    json* disk = DiskAt(ctl, static_cast<uint8_t>(Num(*pd, "bus", 0)),
                        static_cast<uint8_t>(Num(*pd, "target", 0)));
    if (disk) disks.push_back(disk);
  }
  return disks;
}

ScsiTarget FindScsiTarget(json& ctl, bool member_path, uint8_t bus, uint8_t target) {
  ScsiTarget t;
  if (member_path) {
    const json* pd = FindPhysDisk(ctl, target);
    if (!pd) return t;
    t.disk = DiskAt(ctl, static_cast<uint8_t>(Num(*pd, "bus", 0)),
                    static_cast<uint8_t>(Num(*pd, "target", 0)));
  } else if (!IsPhysDiskTarget(ctl, bus, target)) {
    t.disk = DiskAt(ctl, bus, target);
  }
  if (t.disk) {
    t.blocks = Num(*t.disk, "blocks", 0);
    t.block_size = static_cast<uint32_t>(Num(*t.disk, "block_size", 512));
    t.stores = {t.disk};
    return t;
  }
  if (member_path || !ctl.contains("raid") || !ctl["raid"].contains("volumes")) return t;
  for (json& vol : ctl["raid"]["volumes"]) {
    if (VolumeId(vol) == target && VolumeBus(vol) == bus && !VolumeInactive(vol)) {
      t.volume = &vol;
      t.blocks = VolumeMaxLba(ctl, vol) + 1;
      if (VolumeType(vol) == kVolumeIM) t.stores = MirrorDisks(ctl, vol);
      if (t.stores.empty()) t.stores = {&vol};
    }
  }
  return t;
}

void ReadBlocks(const json& item, uint64_t lba, uint32_t count, uint32_t block_size, Bytes& out) {
  out.assign(size_t{count} * block_size, 0);
  const json& stored = Member(item, "block_data");
  for (uint32_t i = 0; i < count; ++i) {
    const json& hex = Member(stored, std::to_string(lba + i).c_str());
    Bytes block;
    if (!hex.is_string() || !FromHex(hex.get<std::string>(), block)) continue;
    std::copy_n(block.begin(), std::min<size_t>(block.size(), block_size),
                out.begin() + static_cast<long>(size_t{i} * block_size));
  }
}

void WriteBlocks(json& item, uint64_t lba, uint32_t count, uint32_t block_size, const Bytes& in) {
  json& stored = item["block_data"];
  if (!stored.is_object()) stored = json::object();
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = size_t{i} * block_size;
    if (at >= in.size()) break;
    size_t end = std::min(in.size(), at + block_size);
    // Zero blocks are not stored, which keeps a formatted disk small.
    size_t last = end;
    while (last > at && in[last - 1] == 0) --last;
    std::string key = std::to_string(lba + i);
    if (last == at) {
      stored.erase(key);
    } else {
      stored[key] = ToHex(&in[at], last - at);
    }
  }
}

}  // namespace vxtsim
