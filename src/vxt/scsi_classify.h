// The outcome of a SCSI reply and its sense data, as the SCSI commands of
// scsi.h report it.
//
// Reply classes: 1 success, 0 failure, -2 no device at the target, -3 not
// ready; -1 (repeat) never leaves the request layer.
#pragma once

#include <cstdint>

#include "vxt/byte_access.h"
#include "vxt/vxt.h"

inline constexpr int kScsiSuccess = 1;
inline constexpr int kScsiFailure = 0;
inline constexpr int kScsiRepeat = -1;
inline constexpr int kScsiNoDevice = -2;
inline constexpr int kScsiNotReady = -3;
inline constexpr int kScsiClassFormat = 4;
inline constexpr int kScsiClassOther = 18;
inline constexpr uint16_t kIocStatusScsiDataUnderrun = 0x0045;

// Judges a SCSI reply and its sense data; `command_class` is 4 for FORMAT
// UNIT and 18 for everything else.
int ClassifyScsiReply(int command_class, ConstBytes reply, ConstBytes sense);
