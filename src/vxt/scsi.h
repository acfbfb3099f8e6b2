// SCSI commands to a target or to a RAID member, retried in one bounded loop
// and judged by ClassifyScsiReply.
//
// Results are the reply classes of scsi_classify.h.  A `ScsiAddress` on the
// plain path sends SCSI I/O to a target ID; on the member path the request
// goes through the RAID-member pass-through, its target being a physical disk
// number.
#pragma once

#include <cstdint>

#include "vxt/scsi_classify.h"
#include "vxt/vxt.h"

// The inquiry lengths volkit asks for: the whole page (or VPD page) a device
// may fill; the shorter one of AUTO's scan and of the retry when a device
// refuses the whole page; the standard data alone, enough to tell a fixed
// disk.
inline constexpr uint32_t kFullInquiryBytes = 255;
inline constexpr uint32_t kShortInquiryBytes = 52;
// An inquiry fills its buffer with this before each try, so a byte that
// still reads so after a transfer cut short is one that never arrived.
inline constexpr uint8_t kNotDeliveredByte = 0xFF;
inline constexpr uint32_t kStandardInquiryBytes = 36;

inline constexpr int kScsiPathPlain = 1;
inline constexpr int kScsiPathRaidMember = 0;

// Where a SCSI command goes.  Logical unit 0 is the only one volkit uses.
struct ScsiAddress {
  int Path;        // kScsiPathPlain or kScsiPathRaidMember
  uint8_t Target;  // a target ID, or a physical disk number on the member path
  uint8_t Lun;
};

inline constexpr ScsiAddress PlainTarget(uint8_t target) { return {kScsiPathPlain, target, 0}; }
inline constexpr ScsiAddress RaidMember(uint8_t phys_disk_num) {
  return {kScsiPathRaidMember, phys_disk_num, 0};
}

// What an inquiry asks for: the standard data or one vital product data page.
struct InquiryPage {
  bool Vpd;
  uint8_t Code;
};

inline constexpr InquiryPage kStandardInquiry{false, 0};
inline constexpr InquiryPage VpdPage(uint8_t code) { return {true, code}; }

// kReadWhole reads as kRead does, but counts a transfer that delivered less
// than it asked for as a failure: what did not arrive would pass for data.
enum class ScsiTransfer { kRead, kReadWhole, kWrite };

// On success `delivered` (when given) receives the byte count the reply
// names: what the device sent, or 0 when the driver completed the command
// without a reply frame.  It is the firmware's word, not checked against
// `length`.
int ScsiInquiry(ControllerInfo* controller, ScsiAddress to, InquiryPage page, uint8_t* buffer,
                uint32_t length, int retries, uint32_t* delivered = nullptr);

// `blocks` is the last block address plus one, in 32 bits (so it wraps to 0
// for a last address of 0xFFFFFFFF).
int ScsiReadCapacity(ControllerInfo* controller, ScsiAddress to, uint32_t* blocks,
                     uint32_t* block_length, int retries);

// ScsiReadCapacity, with eight bytes that did not all arrive counted as a
// failure: they are no capacity.
int ScsiReadCapacityWhole(ControllerInfo* controller, ScsiAddress to, uint32_t* blocks,
                          uint32_t* block_length, int retries);

int ScsiReadWrite(ControllerInfo* controller, ScsiAddress to, ScsiTransfer transfer,
                  uint32_t block_address, uint16_t block_count, uint8_t* buffer, uint32_t length,
                  int retries);

// Formats the disk at `to`; FORMAT addresses it by its target ID
// (PlainTarget), never as a RAID member.
int ScsiFormatUnit(ControllerInfo* controller, ScsiAddress to, int retries);
