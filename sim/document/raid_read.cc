// Reading a controller's physical disks and volumes.
#include "document/lab_defaults.h"
#include "document/record_readers.h"

namespace vxtsim::doc {

namespace {

void ReadPhysDisk(Obj& o, const Controller& c, PhysDisk& pd) {
  pd.ioc.value = c.IocNumber();
  ReadFields(o, pd, [](PhysDisk& r, auto& v) { PhysDiskFields(r, v); });
  ReadPatches(o, "page_bytes", pd.page_bytes);
}

void ReadVolumeType(Obj& o, Volume& v) {
  const json* t = o.Take("type");
  if (!t) return;
  if (t->is_string()) {
    static const std::pair<const char*, uint8_t> kNames[] = {
        {"IS", kVolumeIS},   {"is", kVolumeIS},   {"RAID0", kVolumeIS},
        {"IME", kVolumeIME}, {"ime", kVolumeIME}, {"RAID1E", kVolumeIME},
        {"IM", kVolumeIM},   {"im", kVolumeIM},   {"RAID1", kVolumeIM}};
    for (auto& [name, code] : kNames) {
      if (t->get<std::string>() == name) {
        v.type = code;
        v.type_name = name;
        return;
      }
    }
  }
  if (!ParseGiven(*t, 0xFF, v.type)) {
    o.problems().Add(o.PathOf("type"),
                     "expected \"IM\", \"IME\", \"IS\" or 0 to 255, got " + Shown(*t));
  }
}

// A member is a physical disk number, or {"num": n, "map": m} when its
// place in the volume's map is not the one its place in the list gives.
void ReadMembers(Obj& o, Volume& v) {
  const json* members = ListAt(o, "members", v.members_given);
  if (!members) return;
  for (size_t i = 0; i < members->size(); ++i) {
    const json& m = (*members)[i];
    std::string place = Index(o.PathOf("members"), i);
    VolumeMember member;
    uint8_t position = static_cast<uint8_t>(i);
    member.map = v.type.value == kVolumeIM ? static_cast<uint8_t>(position + 1) : position;
    if (m.is_object()) {
      Obj mo(o.problems(), &m, place);
      Given<uint8_t> num, map{member.map};
      Num(mo, "num", num);
      Num(mo, "map", map);
      mo.Done();
      member.num = num;
      member.map = map;
      member.as_object = true;
      member.map_given = map.given;
    } else {
      uint64_t n = 0;
      if (!NumberAt(o.problems(), place, m, 0xFF, n)) continue;
      member.num = static_cast<uint8_t>(n);
    }
    v.members.push_back(member);
  }
}

void ReadVolume(Obj& o, const Controller& c, Volume& v) {
  v.ioc.value = c.IocNumber();
  ReadVolumeType(o, v);
  v.hot_spare_pool.value = v.type.value == kVolumeIS ? lab_defaults::kStripedHotSparePool
                                                     : lab_defaults::kRedundantHotSparePool;
  ReadFields(o, v, [](Volume& r, auto& fields) { VolumeFields(r, fields); });
  if (!v.wwid.given) {
    v.wwid.value = lab_defaults::kVolumeWwidBase |
                   uint64_t{c.IocNumber()} << lab_defaults::kVolumeWwidIocShift |
                   uint64_t{v.bus.value} << 8 | v.id.value;
  }
  ReadMembers(o, v);
  ReadBlocks(o, v.block_data);
  ReadPatches(o, "page_bytes", v.page_bytes);
}

}  // namespace

void ReadRaid(Obj& ctl, Controller& c) {
  Obj o(ctl.problems(), ctl.Take("raid"), ctl.PathOf("raid"));
  Raid& raid = c.raid;
  raid.given = o.present();
  ReadList(o, "phys_disks", raid.phys_disks_given, raid.phys_disks,
           [&c](Obj& item, size_t, PhysDisk& pd) { ReadPhysDisk(item, c, pd); });
  ReadList(o, "volumes", raid.volumes_given, raid.volumes,
           [&c](Obj& item, size_t, Volume& v) { ReadVolume(item, c, v); });
  o.Done();
}

}  // namespace vxtsim::doc
