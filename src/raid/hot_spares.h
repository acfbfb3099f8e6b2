// Global hot spares: making and deleting one, and the list of those a
// controller holds (which AUTO also consults).
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
