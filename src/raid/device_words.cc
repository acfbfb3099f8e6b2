#include "raid/device_words.h"

#include <cstring>

#include "console/text_format.h"
#include "vxt/pages.h"

namespace {

constexpr const char* kDeviceTypeNames[] = {
    "Hard disk",
    "Sequential access device",
    "Printer",
    "Processor device",
    "Write-once device",
    "CD-ROM",
    "Scanner",
    "Optical memory device",
    "Medium changer",
    "Communications device",
    "Graphics arts pre-press device",
    "Graphics arts pre-press device",
    "Storage array controller",
    "Enclosure services device",
    "Simplified hard disk",
    "Optical card reader/writer",
};

constexpr const char* kDeviceTypeKeys[] = {
    "disk",          "sequential_access", "printer",        "processor",      "write_once",
    "cd_rom",        "scanner",           "optical_memory", "medium_changer", "communications",
    "graphics_arts", "graphics_arts",     "storage_array",  "enclosure",      "disk",
    "optical_card",
};

constexpr size_t kModelFirstWord = 27;
constexpr size_t kFirmwareFirstWord = 23;

// ATA strings hold two characters per word, the first in the high byte.
std::string AtaString(ConstBytes identify, size_t first_word, size_t first_char, size_t chars) {
  std::string s;
  for (size_t i = first_char; i < first_char + chars; ++i) {
    size_t byte = 2 * (first_word + i / 2) + (i % 2 == 0 ? 1 : 0);
    char ch = static_cast<char>(GetU8(identify, byte));
    if (ch == '\0') break;
    s.push_back(ch);
  }
  return s;
}

}  // namespace

bool IsHardDisk(uint8_t inquiry0, uint8_t inquiry1) {
  return (inquiry0 == 0 && !(inquiry1 & 0x80)) || inquiry0 == kSimplifiedHardDisk;
}

std::string DeviceTypeText(uint8_t inquiry0, uint8_t inquiry1) {
  if (IsHardDisk(inquiry0, inquiry1)) return "Hard disk\n";
  if (inquiry0 == 0) return "removable Hard disk\n";
  if (inquiry0 < 16) return std::string(kDeviceTypeNames[inquiry0]) + "\n";
  return "unknown device\n";
}

const char* DeviceTypeKey(uint8_t inquiry0, uint8_t inquiry1) {
  if (inquiry0 == 0 && (inquiry1 & 0x80)) return "removable_disk";
  if (inquiry0 < 16) return kDeviceTypeKeys[inquiry0];
  return "unknown";
}

const char* DiskStateWord(DiskState state) {
  switch (state) {
    case DiskState::kOnline:
      return "Online (ONL)\n";
    case DiskState::kOutOfSync:
      return "Out of Sync (OSY)\n";
    case DiskState::kHotSpare:
      return "Hot Spare (HSP)\n";
    case DiskState::kMissing:
      return "Missing (MIS)\n";
    case DiskState::kNotCompatible:
      return "Not Compatible (NCOMP)\n";
    case DiskState::kFailed:
      return "Failed (FLD)\n";
    case DiskState::kOfflineRequested:
      return "Offline Requested (OFLR)\n";
    case DiskState::kFailedRequested:
      return "Failed Requested (FLDR)\n";
    case DiskState::kOfflineUnknown:
      return "Offline Unknown (OFLU)\n";
    case DiskState::kStandby:
      return "Standby (SBY)\n";
    case DiskState::kReady:
      return "Ready (RDY)\n";
    case DiskState::kAvailable:
      return "Available (AVL)\n";
    case DiskState::kUnknown:
      break;
  }
  return "Unknown!\n";
}

const char* MemberStateWord(ConstBytes page) { return DiskStateWord(ClassifyMemberDisk(page)); }

const char* NonMemberStateWord(uint8_t inquiry0, int status, uint32_t block_size) {
  return DiskStateWord(ClassifyNonMemberDevice(inquiry0, status, block_size));
}

std::string DeviceSizeLine(uint32_t sectors, uint32_t block_size) {
  int shift = block_size == 512 ? 11 : block_size == 1024 ? 12 : block_size == 2048 ? 13 : 0;
  if (shift == 0) return "  Size (in MB)/(in sectors)               : ??\?/??\?\n";
  return FormatLine("  Size (in MB)/(in sectors)               : %u/%u\n", sectors >> shift,
                    sectors);
}

bool DecodeKvrIdentify(ConstBytes identify, KvrAtaStrings* strings) {
  if (AtaString(identify, kModelFirstWord, 36, 4) != "KVR ") return false;
  strings->Manufacturer = AtaString(identify, kModelFirstWord, 36, 4);
  strings->FirmwareRevision = AtaString(identify, kFirmwareFirstWord, 0, 8);
  strings->Model = AtaString(identify, kModelFirstWord, 0, 20);
  strings->FruCru = AtaString(identify, kModelFirstWord, 20, 8);
  strings->PartNumber = AtaString(identify, kModelFirstWord, 28, 8);
  return true;
}

bool HasKvrVendor(ConstBytes inquiry) {
  return GetU8(inquiry, 8) == 'K' && GetU8(inquiry, 9) == 'V' && GetU8(inquiry, 10) == 'R';
}
