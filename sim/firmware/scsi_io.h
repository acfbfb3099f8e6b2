// SCSI requests (plain I/O to a target and the RAID-member pass-through)
// and the SATA pass-through.
#pragma once

#include <cstdint>

#include "firmware/firmware.h"

namespace vxtsim {

constexpr size_t kScsiReplySize = 32;

// Fixed-format sense data and a CHECK CONDITION reply carrying it.
void CheckCondition(Completion& out, uint8_t key, uint8_t asc, uint8_t ascq);

void HandleScsiIo(Controller& ctl, const Message& msg, Completion& out);
void HandleSataPassThrough(Controller& ctl, const Message& msg, Completion& out);

}  // namespace vxtsim
