// What the model assumes for a key a lab leaves out, where the value follows
// from the controller's kind or from other keys (plain per-field defaults are
// in record_fields.h).
#pragma once

#include <cstdint>

namespace vxtsim::lab_defaults {

// IOC and port facts of a SAS and of a parallel SCSI controller.
inline constexpr uint16_t kSasConcurrentCommands = 511;
inline constexpr uint16_t kScsiConcurrentCommands = 222;
inline constexpr uint16_t kSasDeviceLimit = 64;
inline constexpr uint16_t kScsiDeviceLimit = 16;
// A SAS controller takes the first id past its devices; SCSI uses id 7.
inline constexpr uint16_t kScsiInitiatorId = 7;

// PCI device ids (low byte) of the SAS controllers, for a lab that names its
// controller's kind only by its PCI identity.
inline constexpr uint8_t kSasDeviceIds[] = {0x50, 0x54, 0x56, 0x58, 0x5A, 0x5C, 0x5E, 0x62};

// Handles follow a device's or enclosure's place in its list; a device's phy
// is its place.
inline constexpr uint16_t kFirstDeviceHandle = 9;
inline constexpr uint16_t kFirstEnclosureHandle = 1;

// Made-up worldwide names: a base with the controller's number and the
// handle (or the volume's bus and id) in the low bytes.
inline constexpr uint64_t kDeviceSasAddressBase = 0x50000D1000000000ull;
inline constexpr int kDeviceSasAddressIocShift = 24;
inline constexpr uint64_t kEnclosureLogicalIdBase = 0x50000D1E00000000ull;
inline constexpr uint64_t kVolumeWwidBase = 0x50000D1100000000ull;
inline constexpr int kVolumeWwidIocShift = 16;

// Device info bits derived from a device's kind, protocol and attachment.
inline constexpr uint32_t kDeviceInfoDirect = 0x800;
inline constexpr uint32_t kDeviceInfoExpander = 0x2;
inline constexpr uint32_t kDeviceInfoSataDisk = 0x81;
inline constexpr uint32_t kDeviceInfoSasDisk = 0x401;

// Volumes with redundancy draw their spares from pool 1; striped ones none.
inline constexpr uint8_t kRedundantHotSparePool = 1;
inline constexpr uint8_t kStripedHotSparePool = 0;

}  // namespace vxtsim::lab_defaults
