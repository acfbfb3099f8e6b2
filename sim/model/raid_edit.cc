#include "raid_edit.h"

#include "raid_config.h"

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

}  // namespace vxtsim
