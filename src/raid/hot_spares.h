// Global hot spares: the checks before one is made, making and deleting one,
// and the list of those a controller holds (which AUTO also consults).
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

inline constexpr int kHotSpareListRoom = 8;

// The target IDs of a controller's hot spares, in IocPg5 order.  Only the
// first eight are recorded; `Unrecorded` counts the ones beyond.
struct HotSpareList {
  uint8_t TargetIds[kHotSpareListRoom];
  uint8_t Count;
  uint8_t Unrecorded;
};

// volkit <controller #> hotspare [delete] <SCSI ID>|<Encl:Bay>.  0 on
// success, 1 on failure.
int HotSpareCommand(ControllerInfo* controller, int argc, char** argv);

// Room for one more hot spare, and an active mirror (IM or IME) for it to
// protect.  1 when both are there.
int CheckHotSpareSlots(ControllerInfo* controller);

// SAS only: the disk at `target_id` has the interface and medium of the
// members of some mirror (SSDs of both interfaces may meet when the firmware
// allows that mix).  1 when such a mirror exists.
int MatchHotSpareType(ControllerInfo* controller, uint8_t target_id);

// The disk at `target_id` is no volume, a fixed disk of 512-byte blocks, and
// larger than what any mirror of its interface needs of a member.
int CheckHotSpareTarget(ControllerInfo* controller, uint8_t target_id);

// Makes the disk at `target_id` a RAID physical disk in hot-spare pool 1.
int CreateHotSpare(ControllerInfo* controller, uint8_t target_id);

// Deletes the hot spare at `target_id`.  Fails when it is none.
int DeleteHotSpare(ControllerInfo* controller, uint8_t target_id);

// Fills `list` with the physical disks in a hot-spare pool that no volume
// lists.  Returns the result of the last page read.
int CollectHotSpares(ControllerInfo* controller, HotSpareList* list);

// `target_id` is among the recorded entries of `list`.
bool IsHotSpare(uint8_t target_id, const HotSpareList& list);

// IsHotSpare, and when the list could not record every hot spare, a look at
// the controller's own list for the rest: no hot spare is out of reach.
bool IsAnyHotSpare(ControllerInfo* controller, uint8_t target_id, const HotSpareList& list);
