// RAID physical disks made for a new volume or hot spare, and their removal
// when the build they were made for does not finish.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

// Makes each of `count` targets a RAID physical disk in `hot_spare_pool`,
// storing the new physical disk numbers in `phys_disk_nums` at the same
// positions.  1 when every disk was made.  On failure the disks made so far
// have been deleted again, and 0 comes back.
int CreatePhysDisks(ControllerInfo* controller, uint8_t ioc_number, const uint8_t* target_ids,
                    int count, uint8_t hot_spare_pool, uint8_t* phys_disk_nums);

// Deletes the `count` physical disks of a build that did not finish, and
// only those.  A disk that cannot be deleted is named on standard error; the
// others are still tried.  1 when all went, else 0.
int DeletePhysDisks(ControllerInfo* controller, const uint8_t* phys_disk_nums, int count);
