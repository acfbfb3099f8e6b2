// Decoding for the physical device section: device type, state words, the
// size line and the identity strings of KVR-marked SATA disks.  Pure
// functions over bytes already fetched.
#pragma once

#include <cstdint>
#include <string>

#include "raid/disk_state.h"
#include "vxt/byte_access.h"

// INQUIRY byte 0 of an enclosure services device.
inline constexpr uint8_t kEnclosureServicesDevice = 13;

// A fixed hard disk by INQUIRY bytes 0 and 1: a direct-access device that is
// not removable, or a simplified one.  Only such a disk has its size read.
bool IsHardDisk(uint8_t inquiry0, uint8_t inquiry1);

// The device type text after "Device is a ", newline included, from INQUIRY
// bytes 0 and 1: "Hard disk" exactly when IsHardDisk.
std::string DeviceTypeText(uint8_t inquiry0, uint8_t inquiry1);

// The device type as a machine-readable key ("disk", "enclosure", ...), from
// INQUIRY bytes 0 and 1; the same classes DeviceTypeText names.
const char* DeviceTypeKey(uint8_t inquiry0, uint8_t inquiry1);

// DISPLAY's word for a disk state, newline included.
const char* DiskStateWord(DiskState state);

// State word of a RAID physical disk, newline included.
const char* MemberStateWord(ConstBytes raid_phys_disk_page);

// State word of a device outside the RAID configuration, newline included.
// `status` is the reply class of the capacity read (or the last request).
const char* NonMemberStateWord(uint8_t inquiry0, int status, uint32_t block_size);

// "  Size (in MB)/(in sectors) ..." for a determined (non-zero) block size.
std::string DeviceSizeLine(uint32_t sectors, uint32_t block_size);

// Identity strings a KVR-marked SATA disk carries in its IDENTIFY model field.
struct KvrAtaStrings {
  std::string Manufacturer;
  std::string FirmwareRevision;
  std::string Model;
  std::string FruCru;
  std::string PartNumber;
};

// True when the IDENTIFY model field ends in "KVR "; then `strings` holds the
// captured strings, each cut at its first zero byte.
bool DecodeKvrIdentify(ConstBytes identify, KvrAtaStrings* strings);

// True when the INQUIRY vendor field starts with "KVR".
bool HasKvrVendor(ConstBytes inquiry);
