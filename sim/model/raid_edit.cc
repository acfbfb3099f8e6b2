#include "raid_edit.h"

#include "raid_config.h"
#include "scsi_target.h"

namespace vxtsim {

namespace {

json& RaidList(json& ctl, const char* key) {
  json& raid = ctl["raid"];
  if (!raid.is_object()) raid = json::object();
  json& list = raid[key];
  if (!list.is_array()) list = json::array();
  return list;
}

// The list when the state has one; lookups never add it.
json* ExistingList(json& ctl, const char* key) {
  if (!ctl.is_object() || !ctl.contains("raid") || !ctl["raid"].is_object()) return nullptr;
  json& raid = ctl["raid"];
  if (!raid.contains(key) || !raid[key].is_array()) return nullptr;
  return &raid[key];
}

json kNoEntries = json::array();

json& Entries(json& ctl, const char* key) {
  json* list = ExistingList(ctl, key);
  return list ? *list : kNoEntries;
}

}  // namespace

json& VolumeList(json& ctl) { return RaidList(ctl, "volumes"); }
json& PhysDiskList(json& ctl) { return RaidList(ctl, "phys_disks"); }

json* VolumeEntry(json& ctl, uint8_t bus, uint8_t id) {
  for (json& vol : Entries(ctl, "volumes")) {
    if (VolumeId(vol) == id && VolumeBus(vol) == bus) return &vol;
  }
  return nullptr;
}

json* PhysDiskEntry(json& ctl, uint8_t num) {
  for (json& pd : Entries(ctl, "phys_disks")) {
    if (PhysDiskNum(pd) == num) return &pd;
  }
  return nullptr;
}

json* VolumeOfMember(json& ctl, uint8_t num) {
  for (json& vol : Entries(ctl, "volumes")) {
    for (const VolumeMember& m : VolumeMembers(vol)) {
      if (m.num == num) return &vol;
    }
  }
  return nullptr;
}

bool IsPhysDiskTarget(const json& ctl, uint8_t bus, uint8_t target) {
  for (const json& pd : PhysDisks(ctl)) {
    if (Num(pd, "target", 0) == target && Num(pd, "bus", 0) == bus) return true;
  }
  return false;
}

void StartResync(const json& ctl, json& vol) {
  uint64_t blocks = VolumeMaxLba(ctl, vol) + 1;
  vol["state"] = 1;
  vol["resync"] = {{"total", blocks}, {"remaining", blocks}};
}

void CopyToMirrorMember(json& ctl, const json& vol, uint8_t num) {
  const json* source = nullptr;
  for (const VolumeMember& m : VolumeMembers(vol)) {
    const json* pd = FindPhysDisk(ctl, m.num);
    if (!source && m.num != num && pd && Num(*pd, "state", 0) == 0 &&
        Num(*pd, "status_flags", 0) != 1) {
      source = pd;
    }
  }
  const json* target = FindPhysDisk(ctl, num);
  if (!source || !target) return;
  auto disk_of = [&ctl](const json& pd) {
    return DiskAt(ctl, static_cast<uint8_t>(Num(pd, "bus", 0)),
                  static_cast<uint8_t>(Num(pd, "target", 0)));
  };
  json* from = disk_of(*source);
  json* to = disk_of(*target);
  if (!from || !to) return;
  if (from->contains("block_data")) {
    (*to)["block_data"] = (*from)["block_data"];
  } else {
    to->erase("block_data");
  }
}

}  // namespace vxtsim
