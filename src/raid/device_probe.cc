// The device probe's requests: is the target a RAID member, is anything
// there, is it SATA, and whose strings describe it.
#include "raid/device_probe.h"

#include <algorithm>
#include <cstring>

#include "console/text_format.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/sata_identify.h"

namespace {

int Inquire(ControllerInfo* c, DeviceProbe* p, uint32_t length) {
  return ScsiInquiry(c, p->To(), kStandardInquiry, p->Inquiry, length, 1);
}

// A member's page, read afresh unless the caller holds it.
int ReadDiskPage(ControllerInfo* c, const ProbeRequests& requests, DeviceProbe* p) {
  if (!requests.DiskPage) return 1;
  return ReadRaidPhysDiskPg0(c, p->PhysDiskNum, &p->DiskPage);
}

// SAS controllers only: false when the device page cannot be read, which
// leaves the target out.
bool LearnSata(ControllerInfo* c, const ProbeRequests& requests, DeviceProbe* p) {
  if (!requests.SasDevicePage || c->BusType != kBusTypeSas) return true;
  PageBuffer device;
  if (!ReadSasDeviceAt(c, p->Target, &device)) return false;
  p->Sata = SasDevicePg0DeviceInfo(device) & kDeviceInfoSata;
  return true;
}

// 0 when IDENTIFY could not be sent.  A KVR disk's IDENTIFY strings describe
// it, so its identity request succeeded.
int IdentifySata(ControllerInfo* c, DeviceProbe* p) {
  uint8_t identify[kAtaIdentifyBytes] = {};
  if (!AtaIdentify(c, p->Target, 0, identify, kAtaIdentifyBytes)) return 0;
  p->Kvr = DecodeKvrIdentify(identify, &p->Ata);
  if (p->Kvr) p->Status = kScsiSuccess;
  return 1;
}

// A standard inquiry where a failed try of the whole page earns one try of
// the short one.
ProbeOutcome InquireWithFallback(ControllerInfo* c, DeviceProbe* p, uint32_t length) {
  std::memset(p->Inquiry, 0, sizeof p->Inquiry);
  int result = Inquire(c, p, length);
  if (result == kScsiFailure && length != kShortInquiryBytes) {
    std::memset(p->Inquiry, 0, sizeof p->Inquiry);
    result = Inquire(c, p, kShortInquiryBytes);
  }
  if (result == kScsiNoDevice) return ProbeOutcome::kNothing;
  if (result == kScsiFailure) return ProbeOutcome::kFailed;
  p->Status = result;
  return ProbeOutcome::kFound;
}

ProbeOutcome ProbeMember(ControllerInfo* c, const ProbeRequests& requests, DeviceProbe* p) {
  if (!LearnSata(c, requests, p)) return ProbeOutcome::kNothing;
  if (p->Sata) {
    if (!IdentifySata(c, p)) return ProbeOutcome::kFailed;
  } else {
    if (!ReadDiskPage(c, requests, p)) return ProbeOutcome::kFailed;
    int result = Inquire(c, p, kFullInquiryBytes);
    if (result == kScsiFailure) return ProbeOutcome::kFailed;
    if (result == kScsiNoDevice) return ProbeOutcome::kNothing;
    p->Status = result;
    p->Kvr = HasKvrVendor(p->Inquiry);
  }
  if (p->Kvr) return ProbeOutcome::kFound;
  // Without the mark the firmware's own copy of the strings describes it.
  if (!ReadDiskPage(c, requests, p)) return ProbeOutcome::kFailed;
  p->Status = kScsiSuccess;
  CopyOut(p->DiskPage, kInquiryVendorOffset, p->Inquiry + 8, 28);
  return ProbeOutcome::kFound;
}

ProbeOutcome ProbeNonMember(ControllerInfo* c, const ProbeRequests& requests, DeviceProbe* p) {
  if (requests.RepeatedInquiry) {
    // Only whether anything answers counts here; a failure is asked again.
    int result = Inquire(c, p, kFullInquiryBytes);
    if (result == kScsiNoDevice) return ProbeOutcome::kNothing;
    p->Status = result;
  } else {
    ProbeOutcome outcome = InquireWithFallback(c, p, kFullInquiryBytes);
    if (outcome != ProbeOutcome::kFound) return outcome;
  }
  if (!LearnSata(c, requests, p)) return ProbeOutcome::kNothing;
  if (requests.VolumeList) {
    // A volume answers at its own target ID; the volumes cover it.
    PageBuffer ioc2;
    if (!ReadIocPg2(c, &ioc2)) return ProbeOutcome::kFailed;
    if (IocPg2ListsVolume(ioc2, p->Target)) return ProbeOutcome::kNothing;
  }
  if (p->Sata) {
    if (!IdentifySata(c, p)) return ProbeOutcome::kFailed;
  } else {
    if (requests.RepeatedInquiry) {
      ProbeOutcome outcome = InquireWithFallback(c, p, kFullInquiryBytes);
      if (outcome != ProbeOutcome::kFound) return outcome;
    }
    p->Kvr = HasKvrVendor(p->Inquiry);
  }
  // The strings shown come from one more inquiry, except for a KVR SATA
  // disk, whose IDENTIFY strings are used and whose first inquiry stays.
  if (p->KvrSata() || !requests.RepeatedInquiry) return ProbeOutcome::kFound;
  return InquireWithFallback(c, p, p->Kvr ? kFullInquiryBytes : kShortInquiryBytes);
}

}  // namespace

ProbeOutcome ProbeDevice(ControllerInfo* c, const ProbeRequests& requests, DeviceProbe* p) {
  ProbeOutcome outcome = p->Member ? ProbeMember(c, requests, p) : ProbeNonMember(c, requests, p);
  if (outcome == ProbeOutcome::kFound) p->HardDisk = IsHardDisk(p->Inquiry[0], p->Inquiry[1]);
  return outcome;
}

DeviceIdentity IdentityOf(const DeviceProbe& p) {
  if (p.KvrSata()) return {p.Ata.Manufacturer, p.Ata.Model, p.Ata.FirmwareRevision};
  DeviceIdentity identity;
  AppendDeviceChars(&identity.Vendor, p.Inquiry, 8, 8);
  AppendDeviceChars(&identity.Model, p.Inquiry, 16, p.Kvr ? 14 : 16);
  AppendDeviceChars(&identity.Revision, p.Inquiry, 32, 4);
  return identity;
}

void ProbeCapacity(ControllerInfo* c, ScsiTransfer transfer, DeviceProbe* p) {
  if (p->Status != kScsiSuccess || !p->HardDisk) return;
  if (p->Member) {
    p->Blocks = RaidPhysDiskPg0MaxLBA(p->DiskPage) + 1;
    p->BlockSize = 512;
    return;
  }
  uint32_t blocks = 0, block_size = 0;
  const ScsiAddress to = PlainTarget(p->Target);
  p->Status = transfer == ScsiTransfer::kReadWhole
                  ? ScsiReadCapacityWhole(c, to, &blocks, &block_size, 1)
                  : ScsiReadCapacity(c, to, &blocks, &block_size, 1);
  if (p->Status == kScsiSuccess) {
    p->Blocks = blocks;
    p->BlockSize = block_size;
  }
}

bool AsksSerialNumber(const DeviceProbe& p) {
  return p.Inquiry[0] != kEnclosureServicesDevice && !(p.Member && p.InInactiveVolume);
}

int InquireSerialNumber(ControllerInfo* c, const DeviceProbe& p, uint8_t* page) {
  return ScsiInquiry(c, p.To(), VpdPage(0x80), page, kFullInquiryBytes, 1);
}

std::string DeliveredSerialNumber(ConstBytes page) {
  constexpr size_t kSerialOffset = 4, kSerialShown = 20;
  const size_t length = std::min<size_t>(GetU8(page, 3), kSerialShown);
  std::string serial;
  for (size_t i = kSerialOffset; i < kSerialOffset + length && i < page.size(); ++i) {
    const uint8_t ch = GetU8(page, i);
    if (ch == kNotDeliveredByte) break;
    if (ch != 0) serial.push_back(static_cast<char>(ch));
  }
  return serial;
}

int ReadSasDeviceAt(ControllerInfo* c, uint8_t target, PageBuffer* page) {
  return ReadSasDevicePg0(c, SasAddressBusTarget(0, target), page);
}
