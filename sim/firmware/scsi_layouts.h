// Where the model finds and puts the fields of the SCSI commands it answers
// and of the data it returns: offsets in bytes, ATA words where marked. Like
// layouts.h, the simulator's own copy.
#pragma once

#include <cstddef>

namespace vxtsim::layout {

// Command descriptor blocks.
namespace cdb {
inline constexpr size_t kOpcode = 0;
inline constexpr size_t kInquiryFlags = 1;  // bit 0: EVPD
inline constexpr size_t kInquiryPage = 2;
inline constexpr size_t kInquiryAllocation = 3;  // 16 bits, big-endian
inline constexpr size_t kRw6Lba = 1;             // 21 bits of 24, big-endian
inline constexpr size_t kRw6Count = 4;
inline constexpr size_t kRw10Lba = 2;    // 32 bits, big-endian
inline constexpr size_t kRw10Count = 7;  // 16 bits, big-endian
}  // namespace cdb

// Fixed-format sense data.
namespace sense_data {
inline constexpr size_t kSize = 18;
inline constexpr size_t kResponseCode = 0;
inline constexpr size_t kSenseKey = 2;
inline constexpr size_t kAdditionalLength = 7;  // bytes after this one
inline constexpr size_t kAsc = 12;
inline constexpr size_t kAscq = 13;
}  // namespace sense_data

// Standard INQUIRY data.
namespace inquiry_data {
inline constexpr size_t kSize = 128;
inline constexpr size_t kDeviceType = 0;
inline constexpr size_t kRemovable = 1;  // bit 7
inline constexpr size_t kVersion = 2;
inline constexpr size_t kResponseFormat = 3;
inline constexpr size_t kAdditionalLength = 4;  // bytes after this one
inline constexpr size_t kFlags = 7;
inline constexpr size_t kVendorId = 8;
inline constexpr size_t kVendorIdSize = 8;
inline constexpr size_t kProductId = 16;
inline constexpr size_t kProductIdSize = 16;
inline constexpr size_t kProductRev = 32;
inline constexpr size_t kProductRevSize = 4;
inline constexpr size_t kSerial = 36;
inline constexpr size_t kSerialSize = 20;
inline constexpr size_t kKvrFru = 114;
inline constexpr size_t kKvrFruSize = 12;
}  // namespace inquiry_data

// Vital product data pages.
namespace vpd_page {
inline constexpr size_t kDeviceType = 0;
inline constexpr size_t kPageCode = 1;
inline constexpr size_t kPageLength = 3;  // bytes after the header
inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kSerialSize = 20;   // unit serial number page: at the header's end
inline constexpr size_t kRotationRate = 4;  // block characteristics page, 16 bits big-endian
inline constexpr size_t kBlockCharacteristicsSize = 64;
inline constexpr size_t kKvrPart = 28;  // the KVR page's part number
inline constexpr size_t kKvrPartSize = 12;
inline constexpr size_t kKvrSize = 44;
}  // namespace vpd_page

// ATA IDENTIFY DEVICE data: offsets in 16-bit words.
namespace ata_identify {
inline constexpr size_t kSize = 512;
inline constexpr size_t kGeneralConfig = 0;
inline constexpr size_t kSerial = 10;  // 10 words
inline constexpr size_t kSerialWords = 10;
inline constexpr size_t kFirmwareRev = 23;  // 4 words
inline constexpr size_t kFirmwareRevWords = 4;
inline constexpr size_t kModel = 27;  // 20 words
inline constexpr size_t kModelWords = 20;
inline constexpr size_t kCapabilities = 49;
inline constexpr size_t kLba28Sectors = 60;  // 2 words
inline constexpr size_t kCommandSets = 83;
inline constexpr size_t kLba48Sectors = 100;  // 4 words
inline constexpr size_t kRotationRate = 217;
}  // namespace ata_identify

}  // namespace vxtsim::layout
