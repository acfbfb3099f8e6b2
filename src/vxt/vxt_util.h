// Firmware requests built on the driver channel: configuration pages (and,
// as they arrive, RAID actions, enclosure requests and SCSI commands).
//
// Result convention: 1 success, 0 failure; nothing here prints.
#pragma once

#include <cstdint>
#include <vector>

#include "vxt/vxt.h"

using PageBuffer = std::vector<uint8_t>;

// Page actions.
inline constexpr uint8_t kPageActionHeader = 0x00;
inline constexpr uint8_t kPageActionReadCurrent = 0x01;
inline constexpr uint8_t kPageActionWriteCurrent = 0x02;
inline constexpr uint8_t kPageActionWriteNvram = 0x04;
inline constexpr uint8_t kPageActionReadDefault = 0x05;
inline constexpr uint8_t kPageActionReadNvram = 0x06;

inline constexpr uint8_t kPageTypeExtended = 0x0F;

struct PageHeader {
  uint8_t PageVersion;
  uint8_t PageLength;  // in 32-bit words
  uint8_t PageNumber;
  uint8_t PageType;
};

struct ExtendedPageHeader {
  uint8_t PageVersion;
  uint8_t Reserved1;
  uint8_t PageNumber;
  uint8_t PageType;
  uint16_t ExtPageLength;  // in 32-bit words
  uint8_t ExtPageType;
  uint8_t Reserved2;
};

// On failure `header` is left untouched.
int ReadPageHeader(ControllerInfo* controller, uint8_t page_type, uint8_t page_number,
                   PageHeader* header);

// A zero-filled page image of PageLength x 4 bytes that starts with `header`
// (as far as it fits), for the callers to fill and send.
PageBuffer BlankPageImage(const PageHeader& header);

// On success `page` holds the whole page, header included; on failure it is
// emptied.
int VxtConfigReadPage(ControllerInfo* controller, uint8_t Action, uint8_t page_type,
                      uint8_t page_number, uint32_t page_address, PageBuffer* page);

// Writes PageLength x 4 bytes of `page`, using its own first four bytes as the
// header.
// The data phase of VxtConfigReadPage alone, with a header read before: a
// header serves every instance of its page.
int VxtConfigReadPageWith(ControllerInfo* controller, uint8_t Action, const PageHeader& header,
                          uint32_t page_address, PageBuffer* page);

int VxtConfigWritePage(ControllerInfo* controller, uint8_t Action, uint32_t page_address,
                       const PageBuffer& page);

int ReadExtendedPageHeader(ControllerInfo* controller, uint8_t ext_page_type, uint8_t page_number,
                           ExtendedPageHeader* header);

int VxtConfigReadExtendedPage(ControllerInfo* controller, uint8_t Action, uint8_t ext_page_type,
                              uint8_t page_number, uint32_t page_address, PageBuffer* page);

// The data phase of VxtConfigReadExtendedPage alone, with a header read
// before.
int VxtConfigReadExtendedPageWith(ControllerInfo* controller, uint8_t Action,
                                  const ExtendedPageHeader& header, uint32_t page_address,
                                  PageBuffer* page);

// The current SasDevicePg0 at `page_address` (bus and target, or handle form).
int ReadSasDevicePg0(ControllerInfo* controller, uint32_t page_address, PageBuffer* page);

// ---- RAID actions and enclosure (SEP) requests ----

inline constexpr uint8_t kRaidActionProgress = 1;
inline constexpr uint8_t kRaidActionCreateVolume = 2;
inline constexpr uint8_t kRaidActionDeleteVolume = 3;
inline constexpr uint8_t kRaidActionPhysDiskOffline = 10;
inline constexpr uint8_t kRaidActionPhysDiskOnline = 11;
inline constexpr uint8_t kRaidActionCreatePhysDisk = 13;
inline constexpr uint8_t kRaidActionDeletePhysDisk = 14;

inline constexpr uint8_t kSepActionWriteStatus = 0;
inline constexpr uint8_t kSepActionReadStatus = 1;
inline constexpr uint8_t kSepFlagsEnclosureSlot = 1;
inline constexpr uint32_t kSlotStatusIdentify = 0x00020000;

// Success: sent, IocStatus clear, and ActionStatus 0 (done) or 3 (in
// progress).  The reply stays readable through the accessors below.
int VxtRaidAction(ControllerInfo* controller, uint8_t Action, uint8_t phys_disk_num,
                  uint8_t volume_bus, uint8_t volume_id, uint32_t action_data_word, void* data,
                  uint32_t data_length, int data_out);

inline uint16_t RaidReplyActionStatus(ConstBytes reply) { return GetU16(reply, 12); }
inline uint32_t RaidReplyActionData(ConstBytes reply) { return GetU32(reply, 24); }
inline uint64_t RaidReplyTotalBlocks(ConstBytes reply) { return GetU64(reply, 24); }
inline uint64_t RaidReplyBlocksRemaining(ConstBytes reply) { return GetU64(reply, 32); }

// On a successful read (action 1) `slot_status` receives the slot's status
// word; on a write it is sent as it stands.  A failed read leaves it alone.
int VxtSEPMessage(ControllerInfo* controller, uint8_t Action, uint8_t bus, uint8_t target_id,
                  uint16_t enclosure_handle, uint16_t slot, uint8_t flags, uint32_t* slot_status);

// ---- SCSI commands to a target or to a RAID member ----
//
// Reply classes: 1 success, 0 failure, -2 no device at the target, -3 not
// ready; -1 (repeat) never leaves this layer.  `path` 1 sends plain SCSI I/O
// to a target ID; any other value goes through the RAID-member pass-through,
// `target` then being a physical disk number.

inline constexpr int kScsiSuccess = 1;
inline constexpr int kScsiFailure = 0;
inline constexpr int kScsiRepeat = -1;
inline constexpr int kScsiNoDevice = -2;
inline constexpr int kScsiNotReady = -3;
inline constexpr int kScsiPathPlain = 1;
inline constexpr int kScsiPathRaidMember = 0;
inline constexpr int kScsiClassFormat = 4;
inline constexpr int kScsiClassOther = 18;
inline constexpr uint16_t kIocStatusScsiDataUnderrun = 0x0045;

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

// Judges a SCSI reply and its sense data; `command_class` is 4 for FORMAT
// UNIT and 18 for everything else.
int ClassifyScsiReply(int command_class, ConstBytes reply, ConstBytes sense);
