// Which mirror member a disk is, and the offline and online actions sent
// for it.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

// 1 with the member's PhysDiskNum when `target_id` is a member of a mirrored
// volume.  Otherwise another value, after a message on standard error for a
// stripe-set member, a hot spare or a disk in no volume (none when a page
// read failed).
int FindVolumeMember(ControllerInfo* controller, uint8_t target_id, uint8_t* phys_disk_num);

// Sends `action` (offline or online) for the physical disk with a
// RaidPhysDiskPg0 image that names only this controller.  The action's
// result; 0 when the image could not be made.
int SetPhysDiskState(ControllerInfo* controller, uint8_t phys_disk_num, uint8_t action);
