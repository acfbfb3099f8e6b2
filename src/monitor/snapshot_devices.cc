// The device half of the snapshot.  On SAS the devices are found by walking
// the SAS device pages (one header for the walk); on parallel SCSI by asking
// each target ID.  Each device is described the way DISPLAY describes its
// target: RAID members from their physical disk page, KVR SATA disks from
// IDENTIFY, everything else from INQUIRY.
#include <algorithm>
#include <cstring>

#include "console/text_format.h"
#include "monitor/snapshot_parts.h"
#include "raid/device_words.h"
#include "vxt/drive_class.h"
#include "vxt/page_walk.h"
#include "vxt/pages.h"
#include "vxt/sata_identify.h"
#include "vxt/scsi.h"

namespace {

constexpr uint8_t kEnclosureServicesDevice = 13;

// A device found on the bus, before its identity is asked for.
struct Found {
  uint8_t Target = 0;
  bool Sata = false;
  std::optional<uint16_t> Enclosure, Slot;
};

std::string Name(const Found& where) { return "target " + std::to_string(where.Target); }

struct Probe {
  const Found& Where;
  const RaidPlace* Place;  // null outside the RAID configuration
  ScsiAddress To() const {
    return Place ? RaidMember(Place->PhysDiskNum) : PlainTarget(Where.Target);
  }
};

// A device string without the blanks that pad it.
std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Device characters as DISPLAY prints them, trimmed.
std::string Chars(ConstBytes data, size_t offset, size_t count) {
  std::string text;
  AppendDeviceChars(&text, data, offset, count);
  return Trimmed(text);
}

void Identity(DeviceSnapshot* d, const std::string& vendor, const std::string& model,
              const std::string& revision) {
  d->Vendor = vendor;
  d->Model = model;
  d->FirmwareRevision = revision;
}

// The identity, type and reply class of one device, as DISPLAY acquires
// them.  False when the device did not answer (left out) or a required
// request failed (noted).
bool Acquire(ControllerInfo* c, const Probe& p, const RaidPicture& raid, uint8_t* inquiry,
             int* status, DeviceSnapshot* d, ControllerSnapshot* s) {
  const std::string name = Name(p.Where);
  uint8_t identify[kAtaIdentifyBytes] = {};
  KvrAtaStrings ata;
  bool kvr = false;
  *status = kScsiSuccess;
  if (!p.Place || !p.Where.Sata) {
    int result = ScsiInquiry(c, p.To(), kStandardInquiry, inquiry, kFullInquiryBytes, 1);
    if (result == kScsiFailure && !p.Place) {
      std::memset(inquiry, 0, kFullInquiryBytes);
      result = ScsiInquiry(c, p.To(), kStandardInquiry, inquiry, kShortInquiryBytes, 1);
    }
    if (result == kScsiNoDevice) return false;
    if (result == kScsiFailure) {
      NoteProblem(s, "the identity of " + name);
      return false;
    }
    *status = result;
    kvr = HasKvrVendor(ConstBytes(inquiry, kFullInquiryBytes));
  }
  if (p.Where.Sata) {
    if (!AtaIdentify(c, p.Where.Target, 0, identify, kAtaIdentifyBytes)) {
      NoteProblem(s, "the identity of " + name);
      return false;
    }
    kvr = DecodeKvrIdentify(ConstBytes(identify, kAtaIdentifyBytes), &ata);
    if (p.Place || kvr) *status = kScsiSuccess;
  }
  ConstBytes inq(inquiry, kFullInquiryBytes);
  if (kvr && p.Where.Sata) {
    Identity(d, Trimmed(ata.Manufacturer), Trimmed(ata.Model), Trimmed(ata.FirmwareRevision));
  } else if (p.Place && !kvr) {
    // Without the mark the firmware's own copy of the strings describes it.
    ConstBytes page = raid.DiskPages.at(p.Place->PhysDiskNum);
    *status = kScsiSuccess;
    Identity(d, Chars(page, kInquiryVendorOffset, 8), Chars(page, kInquiryProductOffset, 16),
             Chars(page, kInquiryRevisionOffset, 4));
  } else {
    Identity(d, Chars(inq, 8, 8), Chars(inq, 16, kvr ? 14 : 16), Chars(inq, 32, 4));
  }
  return true;
}

void Describe(ControllerInfo* c, const Found& where, const RaidPicture& raid,
              ControllerSnapshot* s) {
  auto place = raid.Places.find(where.Target);
  // A member whose page is missing was noted already; it is asked as a plain
  // target, the only way left.
  const RaidPlace* in_raid = nullptr;
  if (place != raid.Places.end() && raid.DiskPages.count(place->second.PhysDiskNum) != 0) {
    in_raid = &place->second;
  }
  Probe p{where, in_raid};
  uint8_t inquiry[kFullInquiryBytes] = {};
  int status = kScsiSuccess;
  DeviceSnapshot d;
  d.Target = where.Target;
  d.Enclosure = where.Enclosure;
  d.Slot = where.Slot;
  d.Protocol = c->BusType != kBusTypeSas ? "scsi" : where.Sata ? "sata" : "sas";
  if (!Acquire(c, p, raid, inquiry, &status, &d, s)) return;

  bool hard_disk = false;
  DeviceTypeText(inquiry[0], inquiry[1], &hard_disk);
  d.DeviceType = DeviceTypeKey(inquiry[0], inquiry[1]);
  uint32_t blocks = 0, block_size = 0;
  if (status == kScsiSuccess && hard_disk) {
    if (in_raid) {
      blocks = RaidPhysDiskPg0MaxLBA(raid.DiskPages.at(in_raid->PhysDiskNum)) + 1;
      block_size = 512;
    } else {
      status = ScsiReadCapacityWhole(c, PlainTarget(where.Target), &blocks, &block_size, 1);
      if (status != kScsiSuccess) blocks = block_size = 0;
      if (status == kScsiFailure) NoteProblem(s, "the capacity of " + Name(where));
    }
  }
  if (status == kScsiSuccess || status == kScsiNotReady) {
    d.State = DiskStateKey(in_raid ? ClassifyMemberDisk(raid.DiskPages.at(in_raid->PhysDiskNum))
                                   : ClassifyNonMemberDevice(inquiry[0], status, block_size));
  }
  if (status == kScsiSuccess && hard_disk && block_size != 0) {
    d.Blocks = blocks;
    d.BlockSize = block_size;
  }
  // A member of an inactive volume is not asked, as DISPLAY leaves it.
  if (inquiry[0] != kEnclosureServicesDevice && !(in_raid && in_raid->InInactiveVolume)) {
    uint8_t vpd[kFullInquiryBytes] = {};
    int result = ScsiInquiry(c, p.To(), VpdPage(0x80), vpd, kFullInquiryBytes, 1);
    if (result == kScsiSuccess) d.Serial = Chars(ConstBytes(vpd, kFullInquiryBytes), 4, 20);
    if (result == kScsiFailure) NoteProblem(s, "the serial number of " + Name(where));
  }
  int ssd = 0;
  int result = TestSsd(c, p.To(), &ssd);
  if (result == kScsiSuccess) d.Ssd = ssd != 0;
  if (result == kScsiFailure) NoteProblem(s, "the drive type of " + Name(where));
  if (in_raid) {
    d.PhysicalDisk = in_raid->PhysDiskNum;
    d.VolumeId = in_raid->VolumeId;
    d.PredictiveFailure = RaidPhysDiskPg0SmartCount(raid.DiskPages.at(in_raid->PhysDiskNum)) != 0;
  }
  s->Devices.push_back(std::move(d));
}

std::vector<Found> WalkSasDevices(ControllerInfo* c, ControllerSnapshot* s) {
  std::vector<Found> found;
  int walked = WalkExtendedPagesOneHeader(
      c, kExtPageTypeSasDevice, SasDevicePg0DevHandle, [&](ConstBytes page) {
        uint32_t info = SasDevicePg0DeviceInfo(page);
        if (!(info & kDeviceInfoEndDevice)) return;
        if (SasDevicePg0Bus(page) != 0) return;
        found.push_back({SasDevicePg0TargetID(page), (info & kDeviceInfoSata) != 0,
                         SasDevicePg0EnclosureHandle(page), SasDevicePg0Slot(page)});
      });
  if (walked != 1) NoteProblem(s, "the SAS device list");
  return found;
}

std::vector<Found> ScsiTargets(ControllerInfo* c) {
  std::vector<Found> found;
  int targets = std::min<int>(DeviceLimit(*c), 256);
  for (int t = 0; t < targets; ++t) found.push_back({static_cast<uint8_t>(t), false, {}, {}});
  return found;
}

}  // namespace

void ReadDeviceSnapshots(ControllerInfo* c, const RaidPicture& raid, ControllerSnapshot* s) {
  std::vector<Found> found = c->BusType == kBusTypeSas ? WalkSasDevices(c, s) : ScsiTargets(c);
  std::stable_sort(found.begin(), found.end(),
                   [](const Found& a, const Found& b) { return a.Target < b.Target; });
  for (size_t i = 0; i < found.size(); ++i) {
    // A volume answers at its own target ID; the volumes cover it.
    if (raid.Places.count(found[i].Target) == 0 &&
        IocPg2ListsVolume(raid.VolumeList, found[i].Target)) {
      continue;
    }
    if (i > 0 && found[i].Target == found[i - 1].Target) continue;
    Describe(c, found[i], raid, s);
  }
}
