// ATA IDENTIFY DEVICE through the firmware's SATA pass-through.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

inline constexpr uint32_t kAtaIdentifyBytes = 512;

// Fills `buffer` with what the disk at `target_id` answers.  Returns the
// driver result (1 sent, 0 every try failed); the firmware's status is not
// judged, so the caller takes whatever the buffer holds, or judges it from
// `status` (when given), which tells how the request ended.
int AtaIdentify(ControllerInfo* controller, uint8_t target_id, uint8_t bus, uint8_t* buffer,
                uint32_t length, RequestStatus* status = nullptr);
