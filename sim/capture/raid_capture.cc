// The RAID configuration: volumes from IocPg2 and their pages, physical
// disks from IocPg3 (and whatever the volumes and IocPg5 name), and last the
// progress of each volume.
#include <algorithm>

#include "capture.h"
#include "document/record_fields.h"
#include "lab_text.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace capture {

namespace {

// The type by its name where it has one, so that the lab reads as written.
void SetType(vxtsim::Volume& vol, uint8_t type) {
  vol.type = type;
  vol.type_name.clear();
  for (const auto& [name, code] : vxtsim::kVolumeTypeNames) {
    if (code == type) vol.type_name = name;
  }
}

std::string VolumeName(uint8_t bus, uint8_t id) {
  return "volume " + std::to_string(id) + (bus ? " on bus " + std::to_string(bus) : "");
}

// Members as plain numbers when their roles are the ones a lab implies.
void SetMembers(vxtsim::Volume& vol, ConstBytes page) {
  bool implied = true;
  uint8_t type = RaidVolPg0VolumeType(page);
  vol.members_given = true;
  for (int m = 0; m < RaidVolPg0MemberCount(page); ++m) {
    RaidVolMember member = RaidVolPg0MemberAt(page, m);
    int implied_map = type == kVolumeTypeIM ? m + 1 : m;
    implied = implied && member.PhysDiskMap == implied_map;
    vol.members.push_back({member.PhysDiskNum, member.PhysDiskMap, false, true});
  }
  for (vxtsim::VolumeMember& member : vol.members) member.as_object = !implied;
}

void AddVolumeFields(ControllerCapture& cc, ConstBytes page, vxtsim::Volume& vol,
                     VolumeSeat& seat) {
  if (RaidVolPg0VolumeIOC(page) != IocNumber(*cc.c)) vol.ioc = RaidVolPg0VolumeIOC(page);
  SetType(vol, RaidVolPg0VolumeType(page));
  SetMembers(vol, page);
  vol.state = RaidVolPg0VolumeState(page);
  seat.StatusFlags = RaidVolPg0VolumeStatusFlags(page);
  seat.FlagsRead = true;
  seat.Inactive = seat.StatusFlags & kVolumeStatusInactive;
  if (seat.Inactive) vol.inactive = true;
  SetHex(vol.settings, RaidVolPg0VolumeSettings(page), 4);
  vol.hot_spare_pool = RaidVolPg0HotSparePool(page);
  vol.max_lba = RaidVolPg0Blocks(page) - 1;
}

bool CaptureVolume(ControllerCapture& cc, const IocPg2Volume& entry, std::vector<uint8_t>* nums) {
  vxtsim::Volume vol;
  vol.id = entry.VolumeID;
  if (entry.VolumeBus) vol.bus = entry.VolumeBus;
  VolumeSeat seat{entry.VolumeBus, entry.VolumeID, (entry.VolumeFlags & kVolumeFlagInactive) != 0,
                  false, 0};
  std::string name = VolumeName(entry.VolumeBus, entry.VolumeID);
  uint32_t address = RaidVolumeAddress(entry.VolumeBus, entry.VolumeID);
  PageBuffer page;
  RequestStatus status;
  bool read =
      cc.has_vol_pages && VxtConfigReadPage(cc.c, kPageActionReadCurrent, kPageTypeRaidVolume, 0,
                                            address, &page, &status);
  if (read) {
    AddVolumeFields(cc, page, vol, seat);
    for (int m = 0; m < RaidVolPg0MemberCount(page); ++m) {
      nums->push_back(RaidVolPg0MemberAt(page, m).PhysDiskNum);
    }
  } else {
    if (cc.has_vol_pages && !NoSuchPage(status)) {
      return cc.Fail(name + ": RaidVolPg0 could not be read (" + WhyFailed(status) + ")");
    }
    if (cc.has_vol_pages) cc.Note(name + ": listed in IocPg2 but without a RaidVolPg0");
    SetType(vol, entry.VolumeType);
    if (seat.Inactive) vol.inactive = true;
  }
  PageBuffer page1;
  if (cc.has_vol1_pages) {
    if (VxtConfigReadPage(cc.c, kPageActionReadCurrent, kPageTypeRaidVolume, 1, address, &page1,
                          &status)) {
      SetHex(vol.wwid, uint64_t{RaidVolPg1WwidHigh(page1)} << 32 | RaidVolPg1WwidLow(page1), 16);
    } else {
      cc.Note(name + ": RaidVolPg1 could not be read (" + WhyFailed(status) +
              "); the lab's default identifier stands in");
    }
  }
  cc.ctl.raid.volumes.push_back(std::move(vol));
  cc.volumes.push_back(seat);
  return true;
}

// The firmware's strings of the disk; a byte a lab string cannot carry goes
// into a patch of the page.
void SetDiskString(vxtsim::PhysDisk& pd, vxtsim::Given<std::string>& key, ConstBytes page,
                   size_t offset, size_t width) {
  std::string text;
  ConstBytes field = Slice(page, offset, width);
  if (!FieldText(field, &text)) AddPatch(pd.page_bytes, offset, field);
  key = text;
}

vxtsim::PhysDisk PhysDiskFromPage(ControllerCapture& cc, ConstBytes page) {
  vxtsim::PhysDisk pd;
  pd.num = RaidPhysDiskPg0PhysDiskNum(page);
  pd.target = RaidPhysDiskPg0PhysDiskID(page);
  if (RaidPhysDiskPg0PhysDiskBus(page)) pd.bus = RaidPhysDiskPg0PhysDiskBus(page);
  if (RaidPhysDiskPg0PhysDiskIOC(page) != IocNumber(*cc.c))
    pd.ioc = RaidPhysDiskPg0PhysDiskIOC(page);
  if (RaidPhysDiskPg0PhysDiskState(page)) pd.state = RaidPhysDiskPg0PhysDiskState(page);
  if (RaidPhysDiskPg0PhysDiskStatusFlags(page)) {
    pd.status_flags = RaidPhysDiskPg0PhysDiskStatusFlags(page);
  }
  if (RaidPhysDiskPg0HotSparePool(page)) pd.hot_spare_pool = RaidPhysDiskPg0HotSparePool(page);
  pd.max_lba = RaidPhysDiskPg0MaxLBA(page);
  SetDiskString(pd, pd.vendor, page, kInquiryVendorOffset, 8);
  SetDiskString(pd, pd.product, page, kInquiryProductOffset, 16);
  SetDiskString(pd, pd.revision, page, kInquiryRevisionOffset, 4);
  if (RaidPhysDiskPg0SmartCount(page) || RaidPhysDiskPg0SmartASC(page) ||
      RaidPhysDiskPg0SmartASCQ(page)) {
    pd.smart.given = true;
    pd.smart.count = RaidPhysDiskPg0SmartCount(page);
    SetHex(pd.smart.asc, RaidPhysDiskPg0SmartASC(page), 2);
    SetHex(pd.smart.ascq, RaidPhysDiskPg0SmartASCQ(page), 2);
  }
  return pd;
}

bool CapturePhysDisk(ControllerCapture& cc, uint8_t num, const IocPg3PhysDisk* listed) {
  vxtsim::PhysDisk pd;
  PageBuffer page;
  RequestStatus status;
  if (cc.has_disk_pages && VxtConfigReadPage(cc.c, kPageActionReadCurrent, kPageTypeRaidPhysDisk, 0,
                                             num, &page, &status)) {
    pd = PhysDiskFromPage(cc, page);
  } else if (cc.has_disk_pages) {
    std::string name = "physical disk " + std::to_string(num);
    if (!NoSuchPage(status)) {
      return cc.Fail(name + ": RaidPhysDiskPg0 could not be read (" + WhyFailed(status) + ")");
    }
    cc.Note(name + ": named by the RAID pages but without a RaidPhysDiskPg0; left out");
    return true;
  } else if (listed) {
    pd.num = num;
    pd.target = listed->PhysDiskID;
    if (listed->PhysDiskBus) pd.bus = listed->PhysDiskBus;
    if (listed->PhysDiskIOC != IocNumber(*cc.c)) pd.ioc = listed->PhysDiskIOC;
  } else {
    cc.Note("physical disk " + std::to_string(num) + ": no page tells where it is; left out");
    return true;
  }
  cc.phys_disks.push_back({num, pd.target, pd.bus});
  cc.ctl.raid.phys_disks.push_back(std::move(pd));
  return true;
}

}  // namespace

bool CaptureRaid(ControllerCapture& cc) {
  std::vector<uint8_t> nums;
  for (int i = 0; i < IocPg2VolumeCount(cc.ioc2); ++i) {
    IocPg2Volume entry = IocPg2VolumeAt(cc.ioc2, i);
    // A list that names a volume twice gives one volume.
    bool seen = std::any_of(cc.volumes.begin(), cc.volumes.end(), [&](const VolumeSeat& v) {
      return v.Bus == entry.VolumeBus && v.Id == entry.VolumeID;
    });
    if (seen) continue;
    if (!CaptureVolume(cc, entry, &nums)) return false;
  }
  std::vector<uint8_t> order;
  for (int i = 0; i < IocPg3PhysDiskCount(cc.ioc3); ++i) {
    order.push_back(IocPg3PhysDiskAt(cc.ioc3, i).PhysDiskNum);
  }
  order.insert(order.end(), nums.begin(), nums.end());
  for (int k = 0; k < IocPg5HotSpareCount(cc.ioc5); ++k) {
    order.push_back(IocPg5HotSparePhysDiskNum(cc.ioc5, k));
  }
  std::vector<bool> done(256, false);
  for (uint8_t num : order) {
    if (done[num]) continue;
    done[num] = true;
    const IocPg3PhysDisk* listed = nullptr;
    IocPg3PhysDisk entry{};
    for (int i = 0; i < IocPg3PhysDiskCount(cc.ioc3) && !listed; ++i) {
      entry = IocPg3PhysDiskAt(cc.ioc3, i);
      if (entry.PhysDiskNum == num) listed = &entry;
    }
    if (!CapturePhysDisk(cc, num, listed)) return false;
  }
  return true;
}

void CaptureProgress(ControllerCapture& cc) {
  for (size_t i = 0; i < cc.volumes.size(); ++i) {
    const VolumeSeat& seat = cc.volumes[i];
    vxtsim::Volume& vol = cc.ctl.raid.volumes[i];
    bool resyncing = false;
    VolumeProgress progress{};
    RequestStatus status;
    if (RaidActionVolumeProgress(cc.c, seat.Bus, seat.Id, &progress, &status)) {
      uint64_t total = progress.TotalBlocks;
      uint64_t remaining = progress.BlocksRemaining;
      resyncing = remaining > 0;
      if (resyncing) {
        vol.resync.given = true;
        vol.resync.total = total;
        vol.resync.remaining = remaining;
        // A second look tells how far one read moves the work on, which is
        // how vxtsim plays it back.
        VolumeProgress again{};
        if (RaidActionVolumeProgress(cc.c, seat.Bus, seat.Id, &again)) {
          uint64_t later = again.BlocksRemaining;
          if (later < remaining) vol.resync.step = remaining - later;
        }
      }
    } else {
      cc.Note(VolumeName(seat.Bus, seat.Id) + ": its progress could not be read (" +
              WhyFailed(status) + ")");
    }
    uint8_t implied = kVolumeStatusEnabled | (resyncing ? kVolumeStatusResyncing : 0) |
                      (seat.Inactive ? kVolumeStatusInactive : 0);
    if (seat.FlagsRead && seat.StatusFlags != implied) {
      SetHex(vol.status_flags, seat.StatusFlags, 2);
    }
  }
}

}  // namespace capture
