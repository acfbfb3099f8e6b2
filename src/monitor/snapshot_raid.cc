// The RAID half of the snapshot: volumes with their members and resync
// progress, the hot spares and every RAID physical disk.  Each page is read
// once: one header per page type, one data read per volume and per physical
// disk, whichever lists name it.
#include <algorithm>
#include <set>

#include "monitor/snapshot_parts.h"
#include "raid/device_words.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace {

// Reads every page of one type that `addresses` names, with one header.
// Addresses whose read failed are absent from the result.
std::map<uint32_t, PageBuffer> ReadInstances(ControllerInfo* c, uint8_t page_type,
                                             const std::vector<uint32_t>& addresses) {
  std::map<uint32_t, PageBuffer> pages;
  if (addresses.empty()) return pages;
  PageHeader header{};
  if (!ReadPageHeader(c, page_type, 0, &header)) return pages;
  for (uint32_t address : addresses) {
    if (pages.count(address) != 0) continue;
    PageBuffer page;
    if (VxtConfigReadPageWith(c, kPageActionReadCurrent, header, address, &page)) {
      pages[address] = std::move(page);
    }
  }
  return pages;
}

// The disk is this controller's, on bus 0, as DISPLAY's lookup requires.
void Place(ControllerInfo* c, RaidPicture* raid, uint8_t number, const RaidPlace& place) {
  auto it = raid->DiskPages.find(number);
  if (it == raid->DiskPages.end()) return;
  ConstBytes page = it->second;
  if (!FieldFits(page.size(), 4, 4) || RaidPhysDiskPg0PhysDiskBus(page) != 0 ||
      RaidPhysDiskPg0PhysDiskIOC(page) != IocNumber(*c)) {
    return;
  }
  raid->Places.emplace(RaidPhysDiskPg0PhysDiskID(page), place);
}

void ReadProgress(ControllerInfo* c, const IocPg2Volume& entry, ControllerSnapshot* s,
                  VolumeSnapshot* v) {
  VolumeProgress progress{};
  if (!RaidActionVolumeProgress(c, entry.VolumeBus, entry.VolumeID, &progress)) {
    NoteProblem(s, "the resync progress of volume " + std::to_string(entry.VolumeID));
    return;
  }
  uint64_t total = progress.TotalBlocks;
  uint64_t remaining = progress.BlocksRemaining;
  v->Resync.TotalBlocks = total;
  v->Resync.RemainingBlocks = remaining;
  // STATUS refuses such an indicator too.
  if (total == 0 || remaining > total) {
    NoteProblem(s, "a sensible resync progress of volume " + std::to_string(entry.VolumeID));
  }
}

}  // namespace

RaidDiskSnapshot DescribeRaidDisk(const RaidPicture& raid, uint8_t number) {
  RaidDiskSnapshot d;
  d.PhysicalDisk = number;
  auto it = raid.DiskPages.find(number);
  if (it == raid.DiskPages.end()) return d;
  ConstBytes page = it->second;
  d.Target = RaidPhysDiskPg0PhysDiskID(page);
  d.State = DiskStateKey(ClassifyMemberDisk(page));
  d.SmartErrors = RaidPhysDiskPg0SmartCount(page);
  return d;
}

void ReadRaidSnapshot(ControllerInfo* c, ControllerSnapshot* s, RaidPicture* raid) {
  if (!ReadIocPg2(c, &raid->VolumeList)) {
    NoteProblem(s, "the volume list");
    return;
  }
  const ConstBytes ioc2 = raid->VolumeList;
  PageBuffer ioc5;
  const bool spares_known = ReadIocPg5(c, &ioc5) == 1;
  if (!spares_known) NoteProblem(s, "the hot spare list");
  PageBuffer ioc3;
  const bool disks_listed = ReadIocPg3(c, &ioc3) == 1;
  if (!disks_listed) NoteProblem(s, "the physical disk list");

  std::vector<uint32_t> volume_addresses;
  for (int i = 0; i < IocPg2VolumeCount(ioc2); ++i) {
    IocPg2Volume e = IocPg2VolumeAt(ioc2, i);
    volume_addresses.push_back(RaidVolumeAddress(e.VolumeBus, e.VolumeID));
  }
  std::map<uint32_t, PageBuffer> volumes = ReadInstances(c, kPageTypeRaidVolume, volume_addresses);

  std::vector<uint32_t> disk_numbers;
  for (const auto& [address, page] : volumes) {
    for (int k = 0; k < RaidVolPg0MemberCount(page); ++k) {
      disk_numbers.push_back(RaidVolPg0MemberAt(page, k).PhysDiskNum);
    }
  }
  for (int j = 0; j < IocPg5HotSpareCount(ioc5); ++j) {
    disk_numbers.push_back(IocPg5HotSparePhysDiskNum(ioc5, j));
  }
  for (int j = 0; j < IocPg3PhysDiskCount(ioc3); ++j) {
    disk_numbers.push_back(IocPg3PhysDiskAt(ioc3, j).PhysDiskNum);
  }
  for (auto& [number, page] : ReadInstances(c, kPageTypeRaidPhysDisk, disk_numbers)) {
    raid->DiskPages[static_cast<uint8_t>(number)] = std::move(page);
  }
  std::set<uint32_t> unread;
  for (uint32_t number : disk_numbers) {
    if (raid->DiskPages.count(static_cast<uint8_t>(number)) == 0) unread.insert(number);
  }
  for (uint32_t number : unread) NoteProblem(s, "physical disk " + std::to_string(number));

  bool volumes_known = true;
  for (int i = 0; i < IocPg2VolumeCount(ioc2); ++i) {
    IocPg2Volume e = IocPg2VolumeAt(ioc2, i);
    auto it = volumes.find(RaidVolumeAddress(e.VolumeBus, e.VolumeID));
    if (it == volumes.end()) {
      NoteProblem(s, "volume " + std::to_string(e.VolumeID));
      volumes_known = false;
      continue;
    }
    ConstBytes page = it->second;
    VolumeSnapshot v;
    v.VolumeId = e.VolumeID;
    v.Bus = e.VolumeBus;
    v.Type = e.VolumeType;
    v.StateCode = RaidVolPg0VolumeState(page);
    v.StatusFlags = RaidVolPg0VolumeStatusFlags(page);
    v.Inactive = (v.StatusFlags & kVolumeStatusInactive) || (e.VolumeFlags & kVolumeFlagInactive);
    v.SizeBlocks = RaidVolPg0Blocks(page);
    v.Resync.Active = (v.StatusFlags & kVolumeStatusResyncing) != 0;
    for (int k = 0; k < RaidVolPg0MemberCount(page); ++k) {
      uint8_t number = RaidVolPg0MemberAt(page, k).PhysDiskNum;
      v.Members.push_back(DescribeRaidDisk(*raid, number));
      Place(c, raid, number, {number, e.VolumeID, (v.StatusFlags & kVolumeStatusInactive) != 0});
    }
    if (v.Resync.Active) ReadProgress(c, e, s, &v);
    s->Volumes.push_back(std::move(v));
  }
  for (int j = 0; j < IocPg5HotSpareCount(ioc5); ++j) {
    uint8_t number = IocPg5HotSparePhysDiskNum(ioc5, j);
    s->HotSpares.push_back(DescribeRaidDisk(*raid, number));
    Place(c, raid, number, {number, std::nullopt, false});
  }
  std::stable_sort(
      s->Volumes.begin(), s->Volumes.end(),
      [](const VolumeSnapshot& a, const VolumeSnapshot& b) { return a.VolumeId < b.VolumeId; });
  std::stable_sort(s->HotSpares.begin(), s->HotSpares.end(),
                   [](const RaidDiskSnapshot& a, const RaidDiskSnapshot& b) {
                     return a.PhysicalDisk < b.PhysicalDisk;
                   });
  if (disks_listed) DescribePhysicalDisks(ioc3, *raid, {volumes_known, spares_known}, s);
}
