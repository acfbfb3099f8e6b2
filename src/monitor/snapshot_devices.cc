// The device half of the snapshot.  On SAS the devices are found by walking
// the SAS device pages (one header for the walk); on parallel SCSI by asking
// each target ID.  Each device is described the way DISPLAY describes its
// target: RAID members from their physical disk page, KVR SATA disks from
// IDENTIFY, everything else from INQUIRY.
#include <algorithm>

#include "monitor/snapshot_parts.h"
#include "raid/device_probe.h"
#include "vxt/drive_class.h"
#include "vxt/page_walk.h"
#include "vxt/pages.h"

namespace {

// The device walk, the volume list and every physical disk page have been
// read once already: each device is asked for its identity alone.
constexpr ProbeRequests kIdentityOnly{
    .SasDevicePage = false, .VolumeList = false, .DiskPage = false, .RepeatedInquiry = false};

// A device found on the bus, before its identity is asked for.
struct Found {
  uint8_t Target = 0;
  bool Sata = false;
  std::optional<uint16_t> Enclosure, Slot;
};

std::string Name(const Found& where) { return "target " + std::to_string(where.Target); }

// A device string without the blanks that pad it.
std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// An identity string as far as the device delivered it: an inquiry cut
// short leaves its fill where the rest of the field would be, and that fill
// is nobody's name.
std::string Delivered(const std::string& text) {
  return Trimmed(text.substr(0, text.find(static_cast<char>(kNotDeliveredByte))));
}

// Where the RAID configuration puts the device.  A member whose page is
// missing was noted already; it is asked as a plain target, the only way
// left.
const RaidPlace* PlaceOf(const Found& where, const RaidPicture& raid) {
  auto place = raid.Places.find(where.Target);
  if (place == raid.Places.end()) return nullptr;
  if (raid.DiskPages.count(place->second.PhysDiskNum) == 0) return nullptr;
  return &place->second;
}

void Describe(ControllerInfo* c, const Found& where, const RaidPicture& raid,
              ControllerSnapshot* s) {
  const RaidPlace* in_raid = PlaceOf(where, raid);
  DeviceProbe p;
  p.Target = where.Target;
  p.Sata = where.Sata;
  if (in_raid) {
    p.Member = true;
    p.InInactiveVolume = in_raid->InInactiveVolume;
    p.PhysDiskNum = in_raid->PhysDiskNum;
    p.DiskPage = raid.DiskPages.at(in_raid->PhysDiskNum);
  }
  ProbeOutcome outcome = ProbeDevice(c, kIdentityOnly, &p);
  if (outcome == ProbeOutcome::kFailed) NoteProblem(s, "the identity of " + Name(where));
  if (outcome != ProbeOutcome::kFound) return;

  DeviceSnapshot d;
  d.Target = where.Target;
  d.Enclosure = where.Enclosure;
  d.Slot = where.Slot;
  d.Protocol = c->BusType != kBusTypeSas ? "scsi" : where.Sata ? "sata" : "sas";
  const DeviceIdentity identity = IdentityOf(p);
  d.Vendor = Delivered(identity.Vendor);
  d.Model = Delivered(identity.Model);
  d.FirmwareRevision = Delivered(identity.Revision);
  d.DeviceType = DeviceTypeKey(p.Inquiry[0], p.Inquiry[1]);

  // The identity leaves Status success or not ready: a failure is READ
  // CAPACITY's.
  ProbeCapacity(c, ScsiTransfer::kReadWhole, &p);
  if (p.Status == kScsiFailure) NoteProblem(s, "the capacity of " + Name(where));
  if (p.Status == kScsiSuccess || p.Status == kScsiNotReady) {
    d.State = DiskStateKey(p.Member ? ClassifyMemberDisk(p.DiskPage)
                                    : ClassifyNonMemberDevice(p.Inquiry[0], p.Status, p.BlockSize));
  }
  if (p.Status == kScsiSuccess && p.HardDisk && p.BlockSize != 0) {
    d.Blocks = p.Blocks;
    d.BlockSize = p.BlockSize;
  }
  if (AsksSerialNumber(p)) {
    uint8_t vpd[kFullInquiryBytes] = {};
    int result = InquireSerialNumber(c, p, vpd);
    if (result == kScsiSuccess) {
      d.Serial = Trimmed(DeliveredSerialNumber(ConstBytes(vpd, kFullInquiryBytes)));
    }
    if (result == kScsiFailure) NoteProblem(s, "the serial number of " + Name(where));
  }
  int ssd = 0;
  int result = TestSsd(c, p.To(), &ssd);
  if (result == kScsiSuccess) d.Ssd = ssd != 0;
  if (result == kScsiFailure) NoteProblem(s, "the drive type of " + Name(where));
  if (in_raid) {
    d.PhysicalDisk = in_raid->PhysDiskNum;
    d.VolumeId = in_raid->VolumeId;
    d.PredictiveFailure = RaidPhysDiskPg0SmartCount(p.DiskPage) != 0;
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
