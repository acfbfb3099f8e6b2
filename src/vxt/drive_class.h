// Drive classification shared by the commands that pick or describe disks.
#pragma once

#include <cstdint>

#include "vxt/scsi.h"
#include "vxt/vxt.h"

// The SSD test: the drive lists the block device characteristics page among
// its vital-product-data pages and reports a medium rotation rate of 1 there.
// Returns the SCSI class of the first INQUIRY that did not succeed, or 1 with
// `is_ssd` set.
int TestSsd(ControllerInfo* controller, ScsiAddress to, int* is_ssd);

// Standard INQUIRY data of a fixed disk: a direct-access or simplified
// direct-access device, its medium not removable (peripheral qualifier 0).
bool IsFixedDisk(ConstBytes inquiry);
