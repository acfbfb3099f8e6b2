// What a read-only controller context may send: every driver request is
// classified by its code and record, and only the reads on one list pass.
// Used by the request layer for the machine-readable verbs and by vxtsim's
// capture.
#pragma once

#include <cstdint>

enum class RequestKind {
  kAdapterInfo,
  kIocFacts,
  kPortFacts,
  kPageHeader,
  kPageReadCurrent,
  kPageReadDefault,
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

// Whether a read-only context may send a request of this kind.
bool ReadOnlyAllows(RequestKind kind);

const char* RequestKindName(RequestKind kind);
