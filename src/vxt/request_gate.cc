#include "vxt/request_gate.h"

#include <cstring>

#include "vxt/byte_access.h"
#include "vxt/driver_records.h"
#include "vxt/raid_action.h"

namespace {

// The one list of what a read-only context sends: it learns the state and
// changes nothing, not even a LED.
constexpr RequestKind kReadOnly[] = {
    RequestKind::kAdapterInfo,   RequestKind::kIocFacts,        RequestKind::kPortFacts,
    RequestKind::kPageHeader,    RequestKind::kPageReadCurrent, RequestKind::kPageReadDefault,
    RequestKind::kPageReadNvram, RequestKind::kRaidProgress,    RequestKind::kInquiry,
    RequestKind::kReadCapacity,  RequestKind::kAtaIdentify,     RequestKind::kSepReadSlot,
};

RequestKind ClassifyConfig(ConstBytes frame) {
  switch (GetU8(frame, 0)) {
    case 0x00:
      return RequestKind::kPageHeader;
    case 0x01:
      return RequestKind::kPageReadCurrent;
    case 0x05:
      return RequestKind::kPageReadDefault;
    case 0x06:
      return RequestKind::kPageReadNvram;
    default:
      return RequestKind::kOther;
  }
}

// A READ of one block at address 0, in its 6- or 10-byte form.
bool ReadsBlockZero(ConstBytes cdb) {
  if (GetU8(cdb, 0) == 0x08) {
    return (GetU8(cdb, 1) & 0x1F) == 0 && GetU8(cdb, 2) == 0 && GetU8(cdb, 3) == 0 &&
           GetU8(cdb, 4) == 1;
  }
  return GetU8(cdb, 0) == 0x28 && GetBe32(cdb, 2) == 0 && GetBe16(cdb, 7) == 1;
}

RequestKind ClassifyScsi(ConstBytes frame) {
  ConstBytes cdb = frame.subspan(24, 16);
  switch (GetU8(cdb, 0)) {
    case 0x12:
      return RequestKind::kInquiry;
    case 0x25:
      return RequestKind::kReadCapacity;
    default:
      return ReadsBlockZero(cdb) ? RequestKind::kReadBlockZero : RequestKind::kOther;
  }
}

RequestKind ClassifyMessage(const PassThroughRecord& record) {
  // No read carries data to the controller.
  if (record.DataOutSize != 0 || record.DataOut != nullptr) return RequestKind::kOther;
  ConstBytes frame(record.MessageFrame, sizeof record.MessageFrame);
  switch (GetU8(frame, kFrameFunctionOffset)) {
    case kFunctionIocFacts:
      return RequestKind::kIocFacts;
    case kFunctionPortFacts:
      return RequestKind::kPortFacts;
    case kFunctionConfig:
      return ClassifyConfig(frame);
    case kFunctionRaidAction:
      return GetU8(frame, 0) == 1 ? RequestKind::kRaidProgress : RequestKind::kOther;
    case kFunctionScsiIo:
    case kFunctionRaidPassthrough:
      return ClassifyScsi(frame);
    case kFunctionSataPassthrough:
      return GetU8(frame, 28) == 0x27 && GetU8(frame, 30) == 0xEC ? RequestKind::kAtaIdentify
                                                                  : RequestKind::kOther;
    case kFunctionSep:
      return GetU8(frame, 4) == kSepActionReadStatus ? RequestKind::kSepReadSlot
                                                     : RequestKind::kOther;
    default:
      return RequestKind::kOther;
  }
}

}  // namespace

RequestKind ClassifyRequest(unsigned long code, const void* record) {
  if (record == nullptr) return RequestKind::kOther;
  if (code == kAdapterInfoCode) return RequestKind::kAdapterInfo;
  if (code != kPassThroughCode) return RequestKind::kOther;
  PassThroughRecord copy;
  std::memcpy(&copy, record, sizeof copy);
  return ClassifyMessage(copy);
}

bool ReadOnlyAllows(RequestKind kind) {
  for (RequestKind allowed : kReadOnly) {
    if (kind == allowed) return true;
  }
  return false;
}

const char* RequestKindName(RequestKind kind) {
  switch (kind) {
    case RequestKind::kAdapterInfo:
      return "adapter information";
    case RequestKind::kIocFacts:
      return "controller facts";
    case RequestKind::kPortFacts:
      return "port facts";
    case RequestKind::kPageHeader:
      return "page header read";
    case RequestKind::kPageReadCurrent:
      return "page read";
    case RequestKind::kPageReadDefault:
      return "default page read";
    case RequestKind::kPageReadNvram:
      return "non-volatile page read";
    case RequestKind::kRaidProgress:
      return "volume progress read";
    case RequestKind::kInquiry:
      return "INQUIRY";
    case RequestKind::kReadCapacity:
      return "READ CAPACITY";
    case RequestKind::kReadBlockZero:
      return "read of block 0";
    case RequestKind::kAtaIdentify:
      return "SATA IDENTIFY";
    case RequestKind::kSepReadSlot:
      return "slot status read";
    case RequestKind::kOther:
      break;
  }
  return "request that is not a read";
}
