// RAID actions and enclosure-processor (SEP) requests.
//
// Result convention: 1 success, 0 failure; nothing here prints.
#pragma once

#include <cstdint>
#include <optional>

#include "vxt/vxt.h"

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

// One RAID action frame; fields an action does not use stay 0.
struct RaidActionRequest {
  uint8_t Action = 0;
  uint8_t VolumeID = 0;
  uint8_t VolumeBus = 0;
  uint8_t PhysDiskNum = 0;
  uint32_t ActionDataWord = 0;
  // A page image sent with the action; none when empty.
  ConstBytes DataOut = {};
};

// Success: sent, IocStatus clear, and ActionStatus 0 (done) or 3 (in
// progress).
int VxtRaidAction(ControllerInfo* controller, const RaidActionRequest& request);

// Fields of a RAID action reply.
inline uint16_t RaidReplyActionStatus(ConstBytes reply) { return GetU16(reply, 12); }
inline uint32_t RaidReplyActionData(ConstBytes reply) { return GetU32(reply, 24); }
inline uint64_t RaidReplyTotalBlocks(ConstBytes reply) { return GetU64(reply, 24); }
inline uint64_t RaidReplyBlocksRemaining(ConstBytes reply) { return GetU64(reply, 32); }

// A volume's resync progress as the firmware counts it.
struct VolumeProgress {
  uint64_t TotalBlocks;
  uint64_t BlocksRemaining;
};

// The actions volkit sends, by name.

// On success `progress` holds the volume's counts; how the request ended goes
// into `status` when given.
int RaidActionVolumeProgress(ControllerInfo* controller, uint8_t volume_bus, uint8_t volume_id,
                             VolumeProgress* progress, RequestStatus* status = nullptr);
inline int RaidActionCreateVolume(ControllerInfo* c, uint8_t volume_id, uint32_t action_data_word,
                                  ConstBytes volume_image) {
  return VxtRaidAction(c, {.Action = kRaidActionCreateVolume,
                           .VolumeID = volume_id,
                           .ActionDataWord = action_data_word,
                           .DataOut = volume_image});
}
inline int RaidActionDeleteVolume(ControllerInfo* c, uint8_t volume_bus, uint8_t volume_id,
                                  uint32_t action_data_word) {
  return VxtRaidAction(c, {.Action = kRaidActionDeleteVolume,
                           .VolumeID = volume_id,
                           .VolumeBus = volume_bus,
                           .ActionDataWord = action_data_word});
}
// On success `phys_disk_num` holds the number the reply gives the new disk;
// none when the driver completed the action without a reply frame.
int RaidActionCreatePhysDisk(ControllerInfo* controller, ConstBytes phys_disk_image,
                             std::optional<uint8_t>* phys_disk_num);
inline int RaidActionDeletePhysDisk(ControllerInfo* c, uint8_t phys_disk_num) {
  return VxtRaidAction(c, {.Action = kRaidActionDeletePhysDisk, .PhysDiskNum = phys_disk_num});
}
// Offline and online take an optional page image naming the IOC.
inline int RaidActionPhysDiskOffline(ControllerInfo* c, uint8_t phys_disk_num,
                                     ConstBytes phys_disk_image = {}) {
  return VxtRaidAction(c, {.Action = kRaidActionPhysDiskOffline,
                           .PhysDiskNum = phys_disk_num,
                           .DataOut = phys_disk_image});
}
inline int RaidActionPhysDiskOnline(ControllerInfo* c, uint8_t phys_disk_num,
                                    ConstBytes phys_disk_image = {}) {
  return VxtRaidAction(c, {.Action = kRaidActionPhysDiskOnline,
                           .PhysDiskNum = phys_disk_num,
                           .DataOut = phys_disk_image});
}

// On a successful read (action 1) `slot_status` receives the slot's status
// word; on a write it is sent as it stands.  A failed read leaves it alone.
// How the request ended goes into `status` when given.
int VxtSEPMessage(ControllerInfo* controller, uint8_t Action, uint8_t bus, uint8_t target_id,
                  uint16_t enclosure_handle, uint16_t slot, uint8_t flags, uint32_t* slot_status,
                  RequestStatus* status = nullptr);

// The status word of the slot `slot` of enclosure `enclosure_handle`.  1 with
// it; 0 when the read failed or the driver completed it without a reply
// frame, which brings no status back.
int SepReadSlotStatus(ControllerInfo* controller, uint16_t enclosure_handle, uint16_t slot,
                      uint32_t* slot_status);

inline int SepWriteSlotStatus(ControllerInfo* c, uint16_t enclosure_handle, uint16_t slot,
                              uint32_t slot_status) {
  return VxtSEPMessage(c, kSepActionWriteStatus, 0, 0, enclosure_handle, slot,
                       kSepFlagsEnclosureSlot, &slot_status);
}
