// What capture may ask of the driver: reads, and nothing else. Every request
// is classified before it is sent and sent only when its kind is allowed.
#pragma once

#include <cstdint>

namespace capture {

enum class RequestKind {
  kAdapterInfo,
  kIocFacts,
  kPortFacts,
  kPageHeader,
  kPageReadCurrent,
  kPageReadNvram,
  kRaidProgress,
  kInquiry,
  kReadCapacity,
  kReadBlockZero,
  kAtaIdentify,
  kSepReadSlot,
  kOther,  // anything else: page writes, other RAID actions, resets, ...
};

// Classifies a driver request by its code and record (the record layout of
// this word size, as the request layer fills it).
RequestKind ClassifyRequest(unsigned long code, const void* record);

bool MaySend(RequestKind kind);

const char* RequestKindName(RequestKind kind);

// Requests refused since the program started; a capture that saw one is
// not written.
int RefusedRequests();
void CountRefusal();

}  // namespace capture
