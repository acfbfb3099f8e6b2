// Every RAID physical disk of the controller, from its list of them: a
// disk that belongs to no volume and is no hot spare (a failed disk left
// behind after a hot spare took its place) is in no other part of the
// snapshot.  Sends nothing: the pages were read with the volumes'.
#include <algorithm>

#include "monitor/snapshot_parts.h"
#include "vxt/pages.h"

namespace {

std::optional<uint8_t> VolumeOf(const ControllerSnapshot& s, uint8_t number) {
  for (const VolumeSnapshot& v : s.Volumes) {
    for (const RaidDiskSnapshot& m : v.Members) {
      if (m.PhysicalDisk == number) return v.VolumeId;
    }
  }
  return std::nullopt;
}

bool IsHotSpare(const ControllerSnapshot& s, uint8_t number) {
  return std::any_of(s.HotSpares.begin(), s.HotSpares.end(),
                     [&](const RaidDiskSnapshot& d) { return d.PhysicalDisk == number; });
}

}  // namespace

void DescribePhysicalDisks(ConstBytes disk_list, const RaidPicture& raid, RaidPlacesKnown known,
                           ControllerSnapshot* s) {
  for (int j = 0; j < IocPg3PhysDiskCount(disk_list); ++j) {
    IocPg3PhysDisk entry = IocPg3PhysDiskAt(disk_list, j);
    PhysicalDiskSnapshot d;
    static_cast<RaidDiskSnapshot&>(d) = DescribeRaidDisk(raid, entry.PhysDiskNum);
    // The list names the target too, should the disk's own page be missing.
    if (!d.Target) d.Target = entry.PhysDiskID;
    d.VolumeId = VolumeOf(*s, entry.PhysDiskNum);
    if (known.HotSpares) d.HotSpare = IsHotSpare(*s, entry.PhysDiskNum);
    d.VolumesKnown = known.Volumes;
    s->PhysicalDisks.push_back(std::move(d));
  }
  auto by_number = [](const PhysicalDiskSnapshot& a, const PhysicalDiskSnapshot& b) {
    return a.PhysicalDisk < b.PhysicalDisk;
  };
  std::stable_sort(s->PhysicalDisks.begin(), s->PhysicalDisks.end(), by_number);
  // A number the list names twice is one disk.
  s->PhysicalDisks.erase(
      std::unique(s->PhysicalDisks.begin(), s->PhysicalDisks.end(),
                  [](const PhysicalDiskSnapshot& a, const PhysicalDiskSnapshot& b) {
                    return a.PhysicalDisk == b.PhysicalDisk;
                  }),
      s->PhysicalDisks.end());
}
