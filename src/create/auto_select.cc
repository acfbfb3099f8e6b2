#include "create/auto_select.h"

#include "create/candidates.h"
#include "raid/hot_spares.h"
#include "raid/phys_disk_lookup.h"
#include "vxt/config_page.h"
#include "vxt/drive_class.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr uint32_t kRequiredBlockSize = 512;

struct ScanContext {
  HotSpareList HotSpares;
  bool SsdMixAllowed;
  int ReferenceClass;  // 0 until a drive is accepted
};

bool IsSsdClass(int drive_class) {
  return drive_class == kDriveClassSasSsd || drive_class == kDriveClassSataSsd;
}

// Whether the drive at `t` is free: no member, hot spare or volume.
bool IsFree(ControllerInfo* c, const ScanContext& scan, uint8_t t) {
  bool found = false;
  bool inactive = false;
  PhysDiskRef ref{};
  FindRaidPhysDisk(c, t, &found, &inactive, &ref);
  return !found && !IsHotSpare(t, scan.HotSpares) && !IsVolumeId(c, t);
}

bool FitsClass(const ScanContext& scan, int drive_class) {
  if (scan.ReferenceClass == 0) return true;
  if (scan.SsdMixAllowed && IsSsdClass(scan.ReferenceClass)) return IsSsdClass(drive_class);
  return drive_class == scan.ReferenceClass;
}

bool WithinBand(const CandidateList& candidates, uint32_t blocks) {
  uint32_t first = candidates.Candidates[0].Blocks;
  uint32_t difference = blocks > first ? blocks - first : first - blocks;
  return difference <= kCapacityBandBlocks;
}

enum class Verdict { kAccept, kSkip, kEndScan };

Verdict Examine(ControllerInfo* c, ScanContext* scan, const CandidateList& candidates,
                bool is_auto1, uint8_t t, uint32_t* blocks, uint8_t* inquiry) {
  if (!IsFree(c, *scan, t)) return Verdict::kSkip;
  if (ScsiInquiry(c, PlainTarget(t), kStandardInquiry, inquiry, kShortInquiryBytes, 1) !=
          kScsiSuccess ||
      !IsFixedDisk({inquiry, kShortInquiryBytes})) {
    return Verdict::kSkip;
  }
  uint32_t block_size = 0;
  if (ScsiReadCapacity(c, PlainTarget(t), blocks, &block_size, 1) != kScsiSuccess ||
      block_size != kRequiredBlockSize) {
    return Verdict::kSkip;
  }
  if (c->BusType == kBusTypeSas) {
    PageBuffer device;
    if (ReadSasDevicePg0(c, SasAddressBusTarget(0, t), &device) != 1) return Verdict::kEndScan;
    int drive_class = 0;
    if (ClassifyDrive(c, device, &drive_class) != 1 || !FitsClass(*scan, drive_class)) {
      return Verdict::kSkip;
    }
    if (scan->ReferenceClass == 0) scan->ReferenceClass = drive_class;
  }
  if (!is_auto1 && candidates.NumRAIDCandidates > 0 && !WithinBand(candidates, *blocks)) {
    return Verdict::kSkip;
  }
  return Verdict::kAccept;
}

}  // namespace

int ClassifyDrive(ControllerInfo* c, ConstBytes sas_device_pg0, int* drive_class) {
  const bool sata = SasDevicePg0DeviceInfo(sas_device_pg0) & kDeviceInfoSata;
  int ssd = 0;
  if (TestSsd(c, PlainTarget(SasDevicePg0TargetID(sas_device_pg0)), &ssd) != kScsiSuccess) {
    return 0;
  }
  if (ssd) {
    *drive_class = sata ? kDriveClassSataSsd : kDriveClassSasSsd;
  } else {
    *drive_class = sata ? kDriveClassSata : kDriveClassSas;
  }
  return 1;
}

int SelectAutoDrives(ControllerInfo* c, bool is_auto1, CandidateList* candidates) {
  ScanContext scan{};
  CollectHotSpares(c, &scan.HotSpares);
  PageBuffer mfg4;
  scan.SsdMixAllowed =
      ReadManufacturingPg4(c, &mfg4) == 1 && (ManufacturingPg4IrFlags(mfg4) & kIrFlagSsdMixAllowed);
  const int targets = DeviceLimit(*c) & 0xFF;
  for (int t = 0; t < targets; ++t) {
    uint32_t blocks = 0;
    uint8_t inquiry[kShortInquiryBytes] = {};
    Verdict verdict =
        Examine(c, &scan, *candidates, is_auto1, static_cast<uint8_t>(t), &blocks, inquiry);
    if (verdict == Verdict::kEndScan) break;
    // Drives past the room of the candidate list are examined like the others,
    // so the scan asks the same of every target, but they are not kept.
    if (verdict == Verdict::kAccept) {
      AcceptCandidate(candidates, static_cast<uint8_t>(t), blocks, kRequiredBlockSize, inquiry);
    }
  }
  return CandidateCount(*candidates, kMaxCandidateIds);
}
