// What the physical device section learns about one target ID, and the two
// halves of its work: acquisition (requests only) and printing.
#pragma once

#include <cstdint>
#include <cstdio>

#include "raid/device_words.h"
#include "raid/phys_disk_lookup.h"
#include "vxt/config_page.h"
#include "vxt/sata_identify.h"
#include "vxt/scsi.h"

// Everything is set afresh for each target; nothing carries over.
struct TargetScan {
  uint8_t Target = 0;
  bool Member = false;  // volume member or hot spare
  bool InInactiveVolume = false;
  PhysDiskRef Ref{};
  PageBuffer DiskPage;  // the member's RaidPhysDiskPg0, once read
  bool Sata = false;
  bool Kvr = false;
  bool HardDisk = false;
  // Reply class of the last request that counts for the State and Size lines.
  int Status = 1;
  uint32_t Sectors = 0;
  uint32_t BlockSize = 0;  // 0: capacity not determined
  uint8_t Inquiry[kFullInquiryBytes] = {};
  uint8_t Identify[kAtaIdentifyBytes] = {};
  KvrAtaStrings Ata;

  // Members are reached through the RAID-member pass-through by their
  // physical disk number, everything else by plain SCSI I/O to the target.
  ScsiAddress To() const { return Member ? RaidMember(Ref.PhysDiskNum) : PlainTarget(Target); }
  bool KvrSata() const { return Kvr && Sata; }
};

enum class TargetOutcome { kShow, kSkip, kAbortScan };

// Finds out what answers at `scan->Target` and gathers its identity.  Prints
// nothing.  kAbortScan ends the section with failure.
TargetOutcome AcquireTarget(ControllerInfo* controller, TargetScan* scan);

// Prints the target's block, fetching the optional data as it goes.  The KVR
// FRU/CRU and part number lines only when `show_kvr_fru`.
void PrintTarget(ControllerInfo* controller, TargetScan* scan, FILE* log_file, bool show_kvr_fru);

// SasDevicePg0 of the device at bus 0, `target`; 1 when it could be read.
int ReadSasDeviceAt(ControllerInfo* controller, uint8_t target, PageBuffer* page);

// The controller PHY through which the device with `sas_device_page` reaches
// the controller: its own PHY when attached directly, else that of the first
// directly attached device up its parent chain.  0xFF when the chain cannot
// be followed (a failed read, or a handle seen twice).
uint8_t FindConnector(ControllerInfo* controller, ConstBytes sas_device_page);
