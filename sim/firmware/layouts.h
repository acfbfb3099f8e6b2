// Where the model finds and puts each field of the pages, frames and replies
// it serves: offsets in bytes from the start of the page (its header
// included), the frame or the reply. The simulator keeps its own copy of
// these layouts on purpose, apart from volkit's, so that a mistake in one is
// caught by the other rather than shared.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vxtsim::layout {

// ---------------------------------------------------------------- replies

namespace ioc_facts_reply {
inline constexpr size_t kSize = 80;
inline constexpr size_t kMsgVersion = 0;  // 16 bits
inline constexpr size_t kIocNumber = 6;
inline constexpr size_t kRequestFrameWords = 26;  // 16 bits
inline constexpr size_t kGlobalCredits = 36;      // 16 bits: concurrent commands
inline constexpr size_t kNumberOfPorts = 47;
inline constexpr size_t kFwVersion = 56;  // 32 bits
}  // namespace ioc_facts_reply

namespace port_facts_reply {
inline constexpr size_t kSize = 40;
inline constexpr size_t kPortType = 20;
inline constexpr size_t kMaxDevices = 22;      // 16 bits
inline constexpr size_t kPortScsiId = 24;      // 16 bits
inline constexpr uint8_t kPortTypeSas = 0x30;  // values of kPortType
inline constexpr uint8_t kPortTypeScsi = 0x01;
}  // namespace port_facts_reply

// ---------------------------------------------------------------- RAID pages

namespace ioc_pg2 {
inline constexpr size_t kCapabilities = 4;  // 32 bits; the low three bits: IS, IME, IM
inline constexpr uint32_t kRaidCapabilityBits = 0x7;
inline constexpr size_t kNumActiveVolumes = 8;
inline constexpr size_t kVolumes = 12;  // one entry per volume
inline constexpr size_t kVolumeSize = 8;
inline constexpr size_t kVolumeId = 0;  // within an entry
inline constexpr size_t kVolumeBus = 1;
inline constexpr size_t kVolumeIoc = 2;
inline constexpr size_t kVolumeType = 4;
inline constexpr size_t kVolumeFlags = 5;
inline constexpr uint8_t kVolumeInactive = 0x08;
}  // namespace ioc_pg2

namespace ioc_pg3 {
inline constexpr size_t kNumPhysDisks = 4;
inline constexpr size_t kPhysDisks = 8;  // one entry per physical disk
inline constexpr size_t kPhysDiskSize = 4;
inline constexpr size_t kPhysDiskId = 0;  // within an entry
inline constexpr size_t kPhysDiskBus = 1;
inline constexpr size_t kPhysDiskIoc = 2;
inline constexpr size_t kPhysDiskNum = 3;
}  // namespace ioc_pg3

namespace ioc_pg5 {
inline constexpr size_t kNumHotSpares = 8;
inline constexpr size_t kHotSpares = 12;  // one entry per hot spare
inline constexpr size_t kHotSpareSize = 4;
inline constexpr size_t kHotSparePhysDiskNum = 0;  // within an entry
inline constexpr size_t kHotSparePool = 1;
}  // namespace ioc_pg5

namespace raid_vol_pg0 {
inline constexpr size_t kVolumeId = 4;
inline constexpr size_t kVolumeBus = 5;
inline constexpr size_t kVolumeIoc = 6;
inline constexpr size_t kVolumeType = 7;
inline constexpr size_t kStatusFlags = 8;
inline constexpr size_t kStatusState = 9;
inline constexpr size_t kSettings = 12;  // 16 bits
inline constexpr size_t kHotSparePool = 14;
inline constexpr size_t kMaxLbaLow = 16;   // 32 bits
inline constexpr size_t kMaxLbaHigh = 20;  // 32 bits
inline constexpr size_t kNumPhysDisks = 36;
inline constexpr size_t kPhysDisks = 40;  // one entry per member
inline constexpr size_t kPhysDiskSize = 4;
inline constexpr size_t kPhysDiskMap = 2;  // within an entry
inline constexpr size_t kPhysDiskNum = 3;
}  // namespace raid_vol_pg0

namespace raid_vol_pg1 {
inline constexpr size_t kVolumeId = 4;
inline constexpr size_t kVolumeBus = 5;
inline constexpr size_t kVolumeIoc = 6;
inline constexpr size_t kWwid = 64;  // 64 bits
}  // namespace raid_vol_pg1

namespace raid_phys_disk_pg0 {
inline constexpr size_t kPhysDiskId = 4;
inline constexpr size_t kPhysDiskBus = 5;
inline constexpr size_t kPhysDiskIoc = 6;
inline constexpr size_t kPhysDiskNum = 7;
inline constexpr size_t kHotSparePool = 10;
inline constexpr size_t kVendorId = 40;
inline constexpr size_t kVendorIdSize = 8;
inline constexpr size_t kProductId = 48;
inline constexpr size_t kProductIdSize = 16;
inline constexpr size_t kProductRev = 64;
inline constexpr size_t kProductRevSize = 4;
inline constexpr size_t kStatusFlags = 100;
inline constexpr size_t kStatusState = 101;
inline constexpr size_t kMaxLba = 104;      // 32 bits
inline constexpr size_t kSmartCount = 116;  // 16 bits
inline constexpr size_t kSmartAsc = 118;
inline constexpr size_t kSmartAscq = 119;
}  // namespace raid_phys_disk_pg0

// ---------------------------------------------------------------- SAS pages

namespace sas_device_pg0 {
inline constexpr size_t kSlot = 8;              // 16 bits
inline constexpr size_t kEnclosureHandle = 10;  // 16 bits
inline constexpr size_t kSasAddress = 12;       // 64 bits
inline constexpr size_t kParentDevHandle = 20;  // 16 bits
inline constexpr size_t kPhyNum = 22;
inline constexpr size_t kDevHandle = 24;  // 16 bits
inline constexpr size_t kTargetId = 26;
inline constexpr size_t kBus = 27;
inline constexpr size_t kDeviceInfo = 28;  // 32 bits
inline constexpr uint8_t kNoTarget = 0xFF;
}  // namespace sas_device_pg0

namespace sas_enclosure_pg0 {
inline constexpr size_t kEnclosureLogicalId = 12;  // 64 bits
inline constexpr size_t kEnclosureHandle = 22;     // 16 bits
inline constexpr size_t kNumSlots = 24;            // 16 bits
inline constexpr size_t kStartSlot = 26;           // 16 bits
inline constexpr size_t kStartTargetId = 28;
inline constexpr size_t kStartBus = 29;
}  // namespace sas_enclosure_pg0

// ---------------------------------------------------------------- frames

// Every request frame.
namespace frame {
inline constexpr size_t kFunction = 3;
inline constexpr size_t kContext = 8;  // 32 bits, echoed in the reply
}  // namespace frame

// A configuration request and its reply; both carry the page header.
namespace config_frame {
inline constexpr size_t kAction = 0;
inline constexpr size_t kExtPageLength = 4;  // 16 bits, in words
inline constexpr size_t kExtPageType = 6;
inline constexpr size_t kPageVersion = 20;
inline constexpr size_t kPageLength = 21;  // in words
inline constexpr size_t kPageNumber = 22;
inline constexpr size_t kPageType = 23;
inline constexpr size_t kPageAddress = 24;  // 32 bits
inline constexpr size_t kReplySize = 24;
}  // namespace config_frame

// The header at the start of every page.
namespace page_header {
inline constexpr size_t kPageVersion = 0;
inline constexpr size_t kPageLength = 1;  // in words
inline constexpr size_t kPageNumber = 2;
inline constexpr size_t kPageType = 3;
inline constexpr size_t kExtPageLength = 4;  // 16 bits, in words
inline constexpr size_t kExtPageType = 6;
}  // namespace page_header

// A RAID action request and its reply.
namespace raid_action_frame {
inline constexpr size_t kAction = 0;
inline constexpr size_t kVolumeId = 4;
inline constexpr size_t kVolumeBus = 5;
inline constexpr size_t kPhysDiskNum = 6;
inline constexpr size_t kActionDataWord = 16;  // 32 bits
inline constexpr size_t kReplyAction = 0;
inline constexpr size_t kReplyActionStatus = 12;  // 16 bits
inline constexpr size_t kReplyActionData = 24;    // 32 or 64 bits
inline constexpr size_t kReplyActionData2 = 32;   // 64 bits
inline constexpr size_t kReplySize = 40;
}  // namespace raid_action_frame

// An enclosure processor request and its reply.
namespace sep_frame {
inline constexpr size_t kTargetId = 0;
inline constexpr size_t kAction = 4;
inline constexpr size_t kFlags = 5;
inline constexpr size_t kSlotStatus = 12;       // 32 bits
inline constexpr size_t kSlot = 28;             // 16 bits
inline constexpr size_t kEnclosureHandle = 30;  // 16 bits
inline constexpr size_t kReplySlotStatus = 20;  // 32 bits
inline constexpr size_t kReplySize = 24;
}  // namespace sep_frame

// A SCSI request (to a device or to a volume's member) and its reply.
namespace scsi_frame {
inline constexpr size_t kTargetId = 0;
inline constexpr size_t kBus = 1;
inline constexpr size_t kCdbLength = 4;
inline constexpr size_t kLun = 13;
inline constexpr size_t kCdb = 24;
inline constexpr size_t kReplyScsiStatus = 12;
inline constexpr size_t kReplyScsiState = 13;
inline constexpr uint8_t kStateAutosenseValid = 0x01;  // bits of kReplyScsiState
inline constexpr uint8_t kStateResponseInfoValid = 0x10;
inline constexpr size_t kReplyTransferCount = 20;  // 32 bits
inline constexpr size_t kReplySenseCount = 24;     // 32 bits
inline constexpr size_t kReplyResponseInfo = 28;   // 32 bits
}  // namespace scsi_frame

// A SATA pass-through request and its reply.
namespace sata_frame {
inline constexpr size_t kTargetId = 0;
inline constexpr size_t kBus = 1;
inline constexpr size_t kFlags = 4;        // 16 bits
inline constexpr size_t kDataLength = 24;  // 32 bits
inline constexpr size_t kFis = 28;         // the host-to-device register FIS
inline constexpr size_t kFisType = 0;      // within a FIS
inline constexpr size_t kFisFlags = 1;
inline constexpr size_t kFisCommand = 2;
inline constexpr size_t kFisStatus = 2;
inline constexpr size_t kReplyFis = 20;            // the device-to-host register FIS
inline constexpr size_t kReplyTransferCount = 44;  // 32 bits
inline constexpr size_t kReplySize = 48;
}  // namespace sata_frame

}  // namespace vxtsim::layout
