// Acquisition for one target of the physical device section: is it a RAID
// member, is anything there, is it SATA, and whose strings describe it.
#include <cstring>

#include "report/device_scan.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

int Inquire(ControllerInfo* c, const TargetScan& scan, uint32_t length, uint8_t* buffer) {
  return ScsiInquiry(c, scan.To(), kStandardInquiry, buffer, length, 1);
}

int ReadDiskPage(ControllerInfo* c, TargetScan* scan) {
  return ReadRaidPhysDiskPg0(c, scan->Ref.PhysDiskNum, &scan->DiskPage);
}

// SAS controllers only: false when the device page cannot be read, which
// leaves the target out.
bool LearnSata(ControllerInfo* c, TargetScan* scan) {
  if (c->BusType != kBusTypeSas) return true;
  PageBuffer device;
  if (!ReadSasDeviceAt(c, scan->Target, &device)) return false;
  scan->Sata = SasDevicePg0DeviceInfo(device) & kDeviceInfoSata;
  return true;
}

// 0 when IDENTIFY could not be sent.
int IdentifySata(ControllerInfo* c, TargetScan* scan) {
  std::memset(scan->Identify, 0, sizeof scan->Identify);
  if (!AtaIdentify(c, scan->Target, 0, scan->Identify, kAtaIdentifyBytes)) return 0;
  scan->Kvr = DecodeKvrIdentify(scan->Identify, &scan->Ata);
  scan->Status = 1;
  return 1;
}

// A standard inquiry where a failed 255-byte try earns one 52-byte try.
TargetOutcome InquireWithFallback(ControllerInfo* c, TargetScan* scan, uint32_t length) {
  std::memset(scan->Inquiry, 0, sizeof scan->Inquiry);
  int result = Inquire(c, *scan, length, scan->Inquiry);
  if (result == kScsiFailure && length != kShortInquiryBytes) {
    std::memset(scan->Inquiry, 0, sizeof scan->Inquiry);
    result = Inquire(c, *scan, kShortInquiryBytes, scan->Inquiry);
  }
  if (result == kScsiNoDevice) return TargetOutcome::kSkip;
  if (result == kScsiFailure) return TargetOutcome::kAbortScan;
  scan->Status = result;
  return TargetOutcome::kShow;
}

TargetOutcome AcquireMember(ControllerInfo* c, TargetScan* scan) {
  if (!LearnSata(c, scan)) return TargetOutcome::kSkip;
  if (scan->Sata) {
    if (!IdentifySata(c, scan)) return TargetOutcome::kAbortScan;
  } else {
    if (!ReadDiskPage(c, scan)) return TargetOutcome::kAbortScan;
    int result = Inquire(c, *scan, kFullInquiryBytes, scan->Inquiry);
    if (result == kScsiFailure) return TargetOutcome::kAbortScan;
    if (result == kScsiNoDevice) return TargetOutcome::kSkip;
    scan->Status = result;
    scan->Kvr = HasKvrVendor(scan->Inquiry);
  }
  if (scan->Kvr) return TargetOutcome::kShow;
  // Without the mark the firmware's own copy of the strings describes it.
  if (!ReadDiskPage(c, scan)) return TargetOutcome::kAbortScan;
  scan->Status = 1;
  CopyOut(scan->DiskPage, kInquiryVendorOffset, scan->Inquiry + 8, 28);
  return TargetOutcome::kShow;
}

TargetOutcome AcquireNonMember(ControllerInfo* c, TargetScan* scan) {
  int result = Inquire(c, *scan, kFullInquiryBytes, scan->Inquiry);
  if (result == kScsiNoDevice) return TargetOutcome::kSkip;
  scan->Status = result;
  if (!LearnSata(c, scan)) return TargetOutcome::kSkip;
  // A volume answers at its own target ID; the volume section covers it.
  PageBuffer ioc2;
  if (!ReadIocPg2(c, &ioc2)) {
    return TargetOutcome::kAbortScan;
  }
  if (IocPg2ListsVolume(ioc2, scan->Target)) return TargetOutcome::kSkip;

  if (scan->Sata) {
    if (!IdentifySata(c, scan)) return TargetOutcome::kAbortScan;
  } else {
    TargetOutcome outcome = InquireWithFallback(c, scan, kFullInquiryBytes);
    if (outcome != TargetOutcome::kShow) return outcome;
    scan->Kvr = HasKvrVendor(scan->Inquiry);
  }
  // The strings printed come from one more inquiry, except for a KVR SATA
  // disk, whose IDENTIFY strings are used and whose first inquiry stays.
  if (scan->KvrSata()) return TargetOutcome::kShow;
  return InquireWithFallback(c, scan, scan->Kvr ? kFullInquiryBytes : kShortInquiryBytes);
}

}  // namespace

TargetOutcome AcquireTarget(ControllerInfo* c, TargetScan* scan) {
  if (FindRaidPhysDisk(c, scan->Target, &scan->Member, &scan->InInactiveVolume, &scan->Ref) != 1) {
    return TargetOutcome::kAbortScan;
  }
  return scan->Member ? AcquireMember(c, scan) : AcquireNonMember(c, scan);
}
