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

void EmitEnclosurePosition(ControllerInfo* c, DeviceProbe* probe, FILE* log_file) {
  PageBuffer device;
  if (ReadSasDeviceAt(c, probe->Target, &device)) {
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
  probe->Status = 1;
}

void EmitIdentity(const DeviceProbe& probe, FILE* log_file) {
  const DeviceIdentity identity = IdentityOf(probe);
  EmitLine("  Manufacturer                            : " + identity.Vendor + "\n", log_file);
  EmitLine("  Model Number                            : " + identity.Model + "\n", log_file);
  EmitLine("  Firmware Revision                       : " + identity.Revision + "\n", log_file);
}

// A vital-product-data page into `buffer`; blank (zero) unless it arrived.
int InquireVpd(ControllerInfo* c, const DeviceProbe& probe, uint8_t page, uint8_t* buffer,
               uint32_t length) {
  int result = ScsiInquiry(c, probe.To(), VpdPage(page), buffer, length, 1);
  if (result != kScsiSuccess) std::memset(buffer, 0, length);
  return result;
}

void EmitKvrLines(ControllerInfo* c, DeviceProbe* probe, FILE* log_file) {
  std::string line = "  KVR FRU/CRU                             : ";
  if (probe->Sata) {
    line += probe->Ata.FruCru;
  } else {
    AppendDeviceChars(&line, probe->Inquiry, 114, 12);
  }
  EmitLine(line + "\n", log_file);
  line = "  KVR Part Number                         : ";
  if (probe->Sata) {
    line += probe->Ata.PartNumber;
  } else {
    uint8_t vpd[kFullInquiryBytes] = {};
    probe->Status = InquireVpd(c, *probe, 0xC4, vpd, kShortInquiryBytes);
    AppendDeviceChars(&line, vpd, 28, 12);
  }
  EmitLine(line + "\n", log_file);
}

// A device not asked (a member of an inactive volume) shows a blank serial.
void EmitSerialNumber(ControllerInfo* c, DeviceProbe* probe, FILE* log_file) {
  uint8_t page[kFullInquiryBytes] = {};
  if (AsksSerialNumber(*probe)) {
    probe->Status = InquireSerialNumber(c, *probe, page);
    if (probe->Status != kScsiSuccess) std::memset(page, 0, sizeof page);
  }
  std::string line = "  Serial No                               : ";
  AppendDeviceChars(&line, page, 4, 20);
  EmitLine(line + "\n", log_file);
}

void EmitDriveType(ControllerInfo* c, const DeviceProbe& probe, FILE* log_file) {
  int ssd = 0;
  TestSsd(c, probe.To(), &ssd);
  if (ssd) {
    EmitLine("  Drive Type                              : SSD\n", log_file);
  } else if (c->BusType != kBusTypeSas) {
    EmitLine("  Drive Type                              : SCSI\n", log_file);
  } else if (probe.Sata) {
    EmitLine("  Drive Type                              : SATA\n", log_file);
  } else {
    EmitLine("  Drive Type                              : SAS \n", log_file);
  }
}

void EmitProtocol(ControllerInfo* c, DeviceProbe* probe, FILE* log_file) {
  PageBuffer device;
  probe->Status = ReadSasDeviceAt(c, probe->Target, &device);
  if (probe->Status != 1) return;
  if (SasDevicePg0DeviceInfo(device) & kDeviceInfoSata) {
    EmitLine("  Protocol                                : SATA\n", log_file);
  } else {
    EmitLine("  Protocol                                : SAS \n", log_file);
  }
}

void EmitSmart(const DeviceProbe& probe, FILE* log_file) {
  uint16_t count = RaidPhysDiskPg0SmartCount(probe.DiskPage);
  if (!probe.Member || count == 0) return;
  EmitLine(FormatLine("  SMART Error Count                       : %d\n"
                      "  SMART ASC                               : %xh\n"
                      "  SMART ASCQ                              : %xh\n",
                      count, RaidPhysDiskPg0SmartASC(probe.DiskPage),
                      RaidPhysDiskPg0SmartASCQ(probe.DiskPage)),
           log_file);
}

}  // namespace

void PrintTarget(ControllerInfo* c, DeviceProbe* probe, FILE* log_file, bool show_kvr_fru) {
  const uint8_t type_byte = probe->Inquiry[0];
  EmitLine(FormatLine("Target on ID #%d\n  Device is a ", probe->Target) +
               DeviceTypeText(type_byte, probe->Inquiry[1]),
           log_file);
  if (c->BusType == kBusTypeSas) EmitEnclosurePosition(c, probe, log_file);
  EmitLine(FormatLine("  Target ID                               : %d\n", probe->Target), log_file);

  // A KVR SATA member has not needed its page so far; without it there is
  // nothing more to say about the disk.
  if (probe->Member && probe->DiskPage.empty()) {
    int result = ReadRaidPhysDiskPg0(c, probe->PhysDiskNum, &probe->DiskPage);
    if (result != 1) return;
  }
  ProbeCapacity(c, ScsiTransfer::kRead, probe);
  if (probe->Status == kScsiSuccess || probe->Status == kScsiNotReady) {
    EmitLine(std::string("  State                                   : ") +
                 (probe->Member ? MemberStateWord(probe->DiskPage)
                                : NonMemberStateWord(type_byte, probe->Status, probe->BlockSize)),
             log_file);
  }
  if (probe->Status == kScsiSuccess && probe->HardDisk && probe->BlockSize != 0) {
    EmitLine(DeviceSizeLine(probe->Blocks, probe->BlockSize), log_file);
  }
  EmitIdentity(*probe, log_file);
  if (probe->Kvr && show_kvr_fru && type_byte != kEnclosureServicesDevice) {
    EmitKvrLines(c, probe, log_file);
  }
  if (type_byte != kEnclosureServicesDevice) EmitSerialNumber(c, probe, log_file);
  EmitDriveType(c, *probe, log_file);
  if (c->BusType == kBusTypeSas) EmitProtocol(c, probe, log_file);
  EmitSmart(*probe, log_file);
}
