// Printing one target's block of the physical device section.  The optional
// data (enclosure position, capacity, serial number, part number, drive
// class) is fetched here, in print order; none of it can end the report.
#include <cstring>

#include "report/device_scan.h"
#include "report/emit_line.h"
#include "vxt/drive_class.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr uint8_t kEnclosureServicesDevice = 13;

void EmitEnclosurePosition(ControllerInfo* c, TargetScan* scan, FILE* log_file) {
  PageBuffer device;
  if (ReadSasDeviceAt(c, scan->Target, &device)) {
    EmitLine(FormatLine("  Enclosure #                             : %d\n",
                        SasDevicePg0EnclosureHandle(device)),
             log_file);
    EmitLine(
        FormatLine("  Slot #                                  : %d\n", SasDevicePg0Slot(device)),
        log_file);
    uint8_t connector = FindConnector(c, device);
    if (connector != 0xFF) {
      EmitLine(FormatLine("  Connector ID                            : %d\n", connector), log_file);
    }
  }
  scan->Status = 1;
}

void DetermineCapacity(ControllerInfo* c, TargetScan* scan) {
  if (scan->Status != 1 || !scan->HardDisk) return;
  if (scan->Member) {
    scan->Sectors = RaidPhysDiskPg0MaxLBA(scan->DiskPage) + 1;
    scan->BlockSize = 512;
    return;
  }
  uint32_t sectors = 0, block_size = 0;
  scan->Status = ScsiReadCapacity(c, PlainTarget(scan->Target), &sectors, &block_size, 1);
  if (scan->Status == kScsiSuccess) {
    scan->Sectors = sectors;
    scan->BlockSize = block_size;
  }
}

// Identity: the captured IDENTIFY strings of a KVR SATA disk, else the
// INQUIRY fields (a KVR SCSI model is two characters shorter).
void EmitIdentity(const TargetScan& scan, FILE* log_file) {
  std::string line = "  Manufacturer                            : ";
  if (scan.KvrSata()) {
    line += scan.Ata.Manufacturer;
  } else {
    AppendDeviceChars(&line, scan.Inquiry, 8, 8);
  }
  EmitLine(line + "\n", log_file);
  line = "  Model Number                            : ";
  if (scan.KvrSata()) {
    line += scan.Ata.Model;
  } else {
    AppendDeviceChars(&line, scan.Inquiry, 16, scan.Kvr ? 14 : 16);
  }
  EmitLine(line + "\n", log_file);
  line = "  Firmware Revision                       : ";
  if (scan.KvrSata()) {
    line += scan.Ata.FirmwareRevision;
  } else {
    AppendDeviceChars(&line, scan.Inquiry, 32, 4);
  }
  EmitLine(line + "\n", log_file);
}

// A vital-product-data page into `buffer`; blank (zero) unless it arrived.
int InquireVpd(ControllerInfo* c, const TargetScan& scan, uint8_t page, uint8_t* buffer,
               uint32_t length) {
  int result = ScsiInquiry(c, scan.To(), VpdPage(page), buffer, length, 1);
  if (result != kScsiSuccess) std::memset(buffer, 0, length);
  return result;
}

void EmitKvrLines(ControllerInfo* c, TargetScan* scan, FILE* log_file) {
  std::string line = "  KVR FRU/CRU                             : ";
  if (scan->Sata) {
    line += scan->Ata.FruCru;
  } else {
    AppendDeviceChars(&line, scan->Inquiry, 114, 12);
  }
  EmitLine(line + "\n", log_file);
  line = "  KVR Part Number                         : ";
  if (scan->Sata) {
    line += scan->Ata.PartNumber;
  } else {
    uint8_t vpd[kFullInquiryBytes] = {};
    scan->Status = InquireVpd(c, *scan, 0xC4, vpd, kShortInquiryBytes);
    AppendDeviceChars(&line, vpd, 28, 12);
  }
  EmitLine(line + "\n", log_file);
}

void EmitSerialNumber(ControllerInfo* c, TargetScan* scan, FILE* log_file) {
  std::memset(scan->Inquiry, 0, sizeof scan->Inquiry);
  // A member of an inactive volume is not asked; its serial stays blank.
  if (!(scan->Member && scan->InInactiveVolume)) {
    scan->Status = InquireVpd(c, *scan, 0x80, scan->Inquiry, kFullInquiryBytes);
  }
  std::string line = "  Serial No                               : ";
  AppendDeviceChars(&line, scan->Inquiry, 4, 20);
  EmitLine(line + "\n", log_file);
}

void EmitDriveType(ControllerInfo* c, const TargetScan& scan, FILE* log_file) {
  int ssd = 0;
  TestSsd(c, scan.To(), &ssd);
  if (ssd) {
    EmitLine("  Drive Type                              : SSD\n", log_file);
  } else if (c->BusType != kBusTypeSas) {
    EmitLine("  Drive Type                              : SCSI\n", log_file);
  } else if (scan.Sata) {
    EmitLine("  Drive Type                              : SATA\n", log_file);
  } else {
    EmitLine("  Drive Type                              : SAS \n", log_file);
  }
}

void EmitProtocol(ControllerInfo* c, TargetScan* scan, FILE* log_file) {
  PageBuffer device;
  scan->Status = ReadSasDeviceAt(c, scan->Target, &device);
  if (scan->Status != 1) return;
  if (SasDevicePg0DeviceInfo(device) & kDeviceInfoSata) {
    EmitLine("  Protocol                                : SATA\n", log_file);
  } else {
    EmitLine("  Protocol                                : SAS \n", log_file);
  }
}

void EmitSmart(const TargetScan& scan, FILE* log_file) {
  uint16_t count = RaidPhysDiskPg0SmartCount(scan.DiskPage);
  if (!scan.Member || count == 0) return;
  EmitLine(FormatLine("  SMART Error Count                       : %d\n"
                      "  SMART ASC                               : %xh\n"
                      "  SMART ASCQ                              : %xh\n",
                      count, RaidPhysDiskPg0SmartASC(scan.DiskPage),
                      RaidPhysDiskPg0SmartASCQ(scan.DiskPage)),
           log_file);
}

}  // namespace

void PrintTarget(ControllerInfo* c, TargetScan* scan, FILE* log_file, bool show_kvr_fru) {
  const uint8_t type_byte = scan->Inquiry[0];
  EmitLine(FormatLine("Target on ID #%d\n  Device is a ", scan->Target) +
               DeviceTypeText(type_byte, scan->Inquiry[1], &scan->HardDisk),
           log_file);
  if (c->BusType == kBusTypeSas) EmitEnclosurePosition(c, scan, log_file);
  EmitLine(FormatLine("  Target ID                               : %d\n", scan->Target), log_file);

  // A KVR SATA member has not needed its page so far; without it there is
  // nothing more to say about the disk.
  if (scan->Member && scan->DiskPage.empty()) {
    int result = ReadRaidPhysDiskPg0(c, scan->Ref.PhysDiskNum, &scan->DiskPage);
    if (result != 1) return;
  }
  DetermineCapacity(c, scan);
  if (scan->Status == kScsiSuccess || scan->Status == kScsiNotReady) {
    EmitLine(std::string("  State                                   : ") +
                 (scan->Member ? MemberStateWord(scan->DiskPage)
                               : NonMemberStateWord(type_byte, scan->Status, scan->BlockSize)),
             log_file);
  }
  if (scan->Status == kScsiSuccess && scan->HardDisk && scan->BlockSize != 0) {
    EmitLine(DeviceSizeLine(scan->Sectors, scan->BlockSize), log_file);
  }
  EmitIdentity(*scan, log_file);
  if (scan->Kvr && show_kvr_fru && type_byte != kEnclosureServicesDevice) {
    EmitKvrLines(c, scan, log_file);
  }
  if (type_byte != kEnclosureServicesDevice) EmitSerialNumber(c, scan, log_file);
  EmitDriveType(c, *scan, log_file);
  if (c->BusType == kBusTypeSas) EmitProtocol(c, scan, log_file);
  EmitSmart(*scan, log_file);
}
