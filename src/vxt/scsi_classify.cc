// Classification of SCSI replies: controller status, then SCSI state and
// sense data, then response information.
#include "vxt/scsi_classify.h"

namespace {

constexpr uint8_t kStateSenseValid = 0x01;
constexpr uint8_t kStateIncomplete = 0x2E;
constexpr uint8_t kStateResponseInfoValid = 0x10;
constexpr uint8_t kStatusCheckCondition = 2;

int ClassifySenseKey(uint8_t key) {
  switch (key) {
    case 0x0:
    case 0x1:
      return kScsiSuccess;
    case 0x2:
      return kScsiNotReady;
    case 0x3:
    case 0x4:
    case 0x6:
    case 0xB:
      return kScsiRepeat;
    default:
      return kScsiFailure;
  }
}

}  // namespace

int ClassifyScsiReply(int command_class, ConstBytes reply, ConstBytes sense) {
  switch (ReplyIocStatus(reply)) {
    case 0x0000:
    case 0x0040:
      break;
    case kIocStatusScsiDataUnderrun:
      if (command_class == kScsiClassFormat) return kScsiFailure;
      break;
    case 0x0002:
    case 0x0046:
    case 0x0047:
      return kScsiRepeat;
    case 0x0043:
      return kScsiNoDevice;
    default:
      return kScsiFailure;
  }
  uint8_t scsi_status = GetU8(reply, 12);
  uint8_t state = GetU8(reply, 13);
  if (state & kStateIncomplete) return kScsiRepeat;
  if (state & kStateSenseValid) {
    if (scsi_status != kStatusCheckCondition) return kScsiFailure;
    int by_key = ClassifySenseKey(GetU8(sense, 2) & 0x0F);
    if (by_key != kScsiSuccess) return by_key;
  }
  if (state & kStateResponseInfoValid) {
    uint32_t info = GetU32(reply, 28);
    if (info == 0x01000000 || info == 0x03000000) return kScsiRepeat;
    if (info != 0) return kScsiFailure;
  }
  return kScsiSuccess;
}
