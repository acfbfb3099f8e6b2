#include "create/candidates.h"

#include <cstdio>
#include <cstring>

#include "console/command_lock.h"
#include "console/drive_address.h"
#include "vxt/config_page.h"
#include "vxt/drive_class.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr uint32_t kRequiredBlockSize = 512;

// Checks the drive at one target and stores it when it passes.
int CheckDriveAt(ControllerInfo* c, uint8_t id, int index, CandidateList* list) {
  // A disk another volkit is formatting is no disk to build with.
  if (!TakeTargetLock(c, id)) return 0;
  if (IsVolumeId(c, id)) {
    std::fprintf(stderr,
                 "volkit: Disk ID specified (%d) cannot be used as RAID member as\n"
                 "        it is a valid Volume ID.\n",
                 id);
    return 0;
  }
  list->Candidates[index].State = kCandidateUnchecked;
  uint8_t inquiry[kStandardInquiryBytes];
  if (ScsiInquiry(c, PlainTarget(id), kStandardInquiry, inquiry, sizeof inquiry, 1) !=
          kScsiSuccess ||
      !IsFixedDisk(inquiry)) {
    std::fprintf(stderr,
                 "volkit: Disk ID specified (%d) cannot be used a RAID member as \n"
                 "        it is not a functional fixed HDD.\n",
                 id);
    return 0;
  }
  uint32_t blocks = 0;
  uint32_t block_size = 0;
  if (ScsiReadCapacity(c, PlainTarget(id), &blocks, &block_size, 1) != kScsiSuccess ||
      block_size != kRequiredBlockSize) {
    std::fprintf(stderr,
                 "volkit: Disk ID specified (%d) cannot be used a RAID member due\n"
                 "       to a block size other than 512 Bytes.\n",
                 id);
    return 0;
  }
  return AcceptCandidate(list, id, blocks, block_size, inquiry);
}

// Checks one drive word and stores the drive when it passes.
int CheckDrive(ControllerInfo* c, const char* word, int index, CandidateList* list) {
  uint8_t id = 0;
  if (!ResolveDriveTarget(c, word, &id)) return 0;
  return CheckDriveAt(c, id, index, list);
}

// The checks of the accepted drives together: SAS controllers only.
int CheckMix(ControllerInfo* c, CandidateList* list) {
  if (c->BusType != kBusTypeSas) return 1;
  if (CheckSsdMix(c, list) != 1) {
    std::printf(
        "volkit: Drives specified cannot be used as RAID member as \n"
        "        they are a mix of SSD and non SSD type drives.\n");
    return 0;
  }
  if (CheckSasSataMix(c, *list) != 1) {
    std::printf(
        "volkit: Drives specified cannot be used as RAID member as \n"
        "    they are a mix of SAS and SATA type drives.\n");
    return 0;
  }
  return 1;
}

}  // namespace

void ResetCandidates(CandidateList* list, uint8_t bus_type, int type_limit) {
  const uint8_t unset = static_cast<uint8_t>(MaxTargetIdOf(bus_type) + 1);
  list->NumRAIDCandidates = 0;
  list->PrimaryId = unset;
  list->SecondaryId = unset;
  // The firmware's type limit may exceed the list; the list is all we have.
  for (int i = 0; i < type_limit && i < kMaxCandidateIds; ++i) list->CandidateIds[i] = unset;
}

int AcceptCandidate(CandidateList* list, uint8_t id, uint32_t blocks, uint32_t block_size,
                    const uint8_t* inquiry) {
  int i = list->NumRAIDCandidates;
  if (i < 0 || i >= kMaxCandidateIds) return 0;
  CandidateRecord& record = list->Candidates[i];
  record.TargetID = id;
  record.Bus = 0;
  record.Blocks = blocks;
  record.BlockSize = block_size;
  std::memcpy(record.Inquiry, inquiry, sizeof record.Inquiry);
  record.State = kCandidateUsable;
  list->CandidateIds[i] = id;
  list->NumRAIDCandidates = i + 1;
  // The roles go by acceptance order.  Telling an unset role by its value
  // would take a drive whose ID happens to be that value for no drive, and a
  // later drive would become the primary: the mirror would then copy it over
  // the drive the user named first.
  if (i == 0) {
    list->PrimaryId = id;
  } else if (i == 1) {
    list->SecondaryId = id;
  }
  return 1;
}

int CheckCandidates(ControllerInfo* c, char** words, int count, CandidateList* list) {
  for (int i = 0; i < count; ++i) {
    if (!CheckDrive(c, words[i], i, list)) return 0;
  }
  return CheckMix(c, list);
}

int CheckCandidateTargets(ControllerInfo* c, const uint8_t* targets, int count,
                          CandidateList* list) {
  for (int i = 0; i < count; ++i) {
    if (!CheckDriveAt(c, targets[i], i, list)) return 0;
  }
  return CheckMix(c, list);
}

int IsVolumeId(ControllerInfo* c, uint8_t id) {
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return 0;
  return IocPg2ListsVolume(iocpg2, id);
}

int CheckSsdMix(ControllerInfo* c, CandidateList* list) {
  PageBuffer mfg4;
  if (!ReadManufacturingPg4(c, &mfg4)) return 0;
  bool ssd_seen = false;
  bool rotating_seen = false;
  int count = CandidateCount(*list, kMaxCandidateIds);
  for (int i = 0; i < count; ++i) {
    int is_ssd = 0;
    int result = TestSsd(c, PlainTarget(list->CandidateIds[i]), &is_ssd);
    if (result != kScsiSuccess) return result;
    (is_ssd ? ssd_seen : rotating_seen) = true;
  }
  if (ssd_seen && rotating_seen) return 0;
  list->AllCandidatesSsd = ssd_seen ? 1 : 0;
  return 1;
}

int CheckSasSataMix(ControllerInfo* c, const CandidateList& list) {
  PageBuffer mfg4;
  if (!ReadManufacturingPg4(c, &mfg4)) return 0;
  if (list.AllCandidatesSsd == 1 && (ManufacturingPg4IrFlags(mfg4) & kIrFlagSsdMixAllowed))
    return 1;
  bool sata_seen = false;
  bool sas_seen = false;
  int count = CandidateCount(list, kMaxCandidateIds);
  for (int i = 0; i < count; ++i) {
    PageBuffer device;
    if (!ReadSasDevicePg0(c, SasAddressBusTarget(0, list.CandidateIds[i]), &device)) {
      return 0;
    }
    (SasDevicePg0DeviceInfo(device) & kDeviceInfoSata ? sata_seen : sas_seen) = true;
  }
  return sata_seen && sas_seen ? 0 : 1;
}
