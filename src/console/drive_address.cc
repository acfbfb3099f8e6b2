#include "console/drive_address.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/words.h"

namespace {

constexpr unsigned long kLargestTargetWord = 0x7FFFFFFF;

void SayInvalidTarget(const char* text) {
  std::printf("volkit: Invalid targetId specified for disk : \"%s\"!\n", text);
}

// One half of an Encl:Bay pair.  The reading stops at the first character
// that is not part of the number.  A value that does not fit the 16-bit field
// is refused rather than cut down, which would name another enclosure or bay;
// and since a half without any digits also reads as 0, a zero counts only
// when it was typed as one.
bool ReadPairHalf(const char* text, uint16_t* value) {
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(text, &end, 0);
  if (errno == ERANGE || v > 0xFFFF) return false;
  if (v == 0 && text[0] != '0') return false;
  *value = static_cast<uint16_t>(v);
  return true;
}

int ParseEnclBay(const char* text, uint16_t* enclosure, uint16_t* bay) {
  const char* colon = std::strchr(text, ':');
  if (colon == nullptr || !ReadPairHalf(text, enclosure) || !ReadPairHalf(colon + 1, bay)) {
    std::printf("volkit: Invalid Encl:Bay value specified for disk : \"%s\"!\n", text);
    return 0;
  }
  return 1;
}

// The highest target ID the target form of a location accepts.  A controller
// that reports no buses still has the one its devices sit on.
unsigned long TargetLimit(const ControllerInfo& c) {
  unsigned buses = BusCount(c) == 0 ? 1u : BusCount(c);
  return static_cast<uint8_t>(DeviceLimit(c) / buses);
}

int ParseTargetLocation(ControllerInfo* c, const char* text, const DeviceTable& table, int count,
                        uint16_t* enclosure_handle, uint16_t* slot) {
  unsigned long id = 0;
  if (!ParseWholeUnsigned(text, &id) || id > TargetLimit(*c)) {
    SayInvalidTarget(text);
    return 0;
  }
  const DeviceEntry* match = nullptr;
  int entries = count < static_cast<int>(table.size()) ? count : static_cast<int>(table.size());
  for (int i = 0; i < entries; ++i) {
    if (table[i].TargetID == id) match = &table[i];
  }
  if (match == nullptr) {
    std::printf("volkit: Drive with targetId \"%s\" does not exist!\n", text);
    *enclosure_handle = 0;
    *slot = 0;
    return 0;
  }
  *enclosure_handle = match->EnclosureHandle;
  *slot = match->Slot;
  return 1;
}

int ResolveEnclBay(ControllerInfo* c, const char* text, uint8_t* target_id) {
  if (c->BusType != kBusTypeSas) {
    std::printf("volkit: Enclosure:Bay option not supported on SCSI controllers!\n");
    return 0;
  }
  DeviceTable devices;
  int device_count = EnumerateSasDevices(c, &devices);
  uint16_t enclosure = 0;
  uint16_t bay = 0;
  if (!ParseDriveLocation(c, text, 1, devices, device_count, &enclosure, &bay)) return 0;

  EnclosureList enclosures;
  int enclosure_count = EnumerateEnclosures(c, &enclosures);
  if (enclosure < 1 || enclosure > enclosure_count) {
    std::printf("volkit: Invalid Enclosure ID specified for disk : \"%s\"!\n", text);
    return 0;
  }
  const DeviceEntry* match = nullptr;
  int matches = CountDevicesInSlot(devices, enclosures[enclosure - 1], bay, &match);
  if (matches > 1) {
    std::printf("volkit: Multiple disks exists in SlotNumber specified for disk : \"%s\"!\n", text);
    return 0;
  }
  if (matches == 0) {
    std::printf("volkit: Invalid SlotNumber specified for disk : \"%s\"!\n", text);
    return 0;
  }
  *target_id = match->TargetID;
  return 1;
}

}  // namespace

int ParseDriveLocation(ControllerInfo* c, const char* text, int is_encl_bay,
                       const DeviceTable& table, int count, uint16_t* first, uint16_t* second) {
  if (is_encl_bay) return ParseEnclBay(text, first, second);
  return ParseTargetLocation(c, text, table, count, first, second);
}

int ResolveDriveTarget(ControllerInfo* c, const char* text, uint8_t* target_id) {
  if (std::strchr(text, ':') != nullptr) return ResolveEnclBay(c, text, target_id);
  unsigned long id = 0;
  if (!ParseWholeUnsigned(text, &id) || id > kLargestTargetWord || id > (DeviceLimit(*c) & 0xFFu)) {
    SayInvalidTarget(text);
    return 0;
  }
  *target_id = static_cast<uint8_t>(id);
  return 1;
}
