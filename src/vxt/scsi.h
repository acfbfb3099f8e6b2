// SCSI commands to a target or to a RAID member, retried in one bounded loop
// and judged by ClassifyScsiReply.
//
// Results are the reply classes of scsi_classify.h.  `path` 1 sends plain
// SCSI I/O to a target ID; any other value goes through the RAID-member
// pass-through, `target` then being a physical disk number.
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
inline constexpr uint32_t kStandardInquiryBytes = 36;

inline constexpr int kScsiPathPlain = 1;
inline constexpr int kScsiPathRaidMember = 0;

int ScsiInquiry(ControllerInfo* controller, int path, uint8_t target, uint8_t lun, int vpd,
                uint8_t page_code, uint8_t* buffer, uint32_t length, int retries);

// `blocks` is the last block address plus one, in 32 bits (so it wraps to 0
// for a last address of 0xFFFFFFFF).
int ScsiReadCapacity(ControllerInfo* controller, int path, uint8_t target, uint8_t lun,
                     uint32_t* blocks, uint32_t* block_length, int retries);

int ScsiReadWrite(ControllerInfo* controller, int path, int write, uint8_t target, uint8_t lun,
                  uint32_t block_address, uint16_t block_count, uint8_t* buffer, uint32_t length,
                  int retries);

int ScsiFormatUnit(ControllerInfo* controller, uint8_t target, uint8_t lun, int retries);

// The last SCSI command succeeded with less data than it asked for: a read
// then left part of its buffer as it was.
inline bool LastScsiTransferShort(const ControllerInfo& c) {
  return ReplyIocStatus(LastReply(c)) == kIocStatusScsiDataUnderrun;
}
