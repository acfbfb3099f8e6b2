// The candidate drives of a new volume: resolving the drive words and
// checking that each drive can serve as a RAID member.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

inline constexpr int kMaxCandidateIds = 20;
inline constexpr int kMaxCandidateRecords = 127;

inline constexpr uint32_t kCandidateUnchecked = 0;
inline constexpr uint32_t kCandidateUsable = 2;

struct CandidateRecord {
  uint8_t TargetID;
  uint8_t Bus;
  uint32_t Blocks;
  uint32_t BlockSize;
  uint8_t Inquiry[36];
  uint32_t State;
};

// The drives a new volume is built from, in the order they were accepted.
struct CandidateList {
  int32_t NumRAIDCandidates;
  uint8_t PrimaryId;
  uint8_t SecondaryId;
  uint8_t CandidateIds[kMaxCandidateIds];
  CandidateRecord Candidates[kMaxCandidateRecords];
  // Set by CheckSsdMix: every candidate is an SSD.
  int AllCandidatesSsd;
};

// The highest target ID of a controller: 127 on SAS, 15 on parallel SCSI.
// An unset PrimaryId or SecondaryId holds one more.
inline uint8_t MaxTargetIdOf(uint8_t bus_type) { return bus_type == kBusTypeSas ? 127 : 15; }

// NumRAIDCandidates, but never more than `room` nor less than 0.
inline int CandidateCount(const CandidateList& list, int room) {
  if (list.NumRAIDCandidates < 0) return 0;
  return list.NumRAIDCandidates < room ? list.NumRAIDCandidates : room;
}

// Empties `list` for a new selection on a controller of `bus_type`.
void ResetCandidates(CandidateList* list, uint8_t bus_type, int type_limit);

// Stores an accepted drive as the next candidate.  0 when the list is full.
int AcceptCandidate(CandidateList* list, uint8_t target_id, uint32_t blocks, uint32_t block_size,
                    const uint8_t* inquiry);

// Resolves and checks each of `count` drive words in order and stores the
// accepted drives in `list` (reset by the caller).  1 when every drive
// passed; else 0 after the message.  `count` must not exceed the room of the
// candidate list.
int CheckCandidates(ControllerInfo* controller, char** words, int count, CandidateList* list);

// CheckCandidates for drives already resolved to their target IDs.
int CheckCandidateTargets(ControllerInfo* controller, const uint8_t* target_ids, int count,
                          CandidateList* list);

// 1 when `target_id` is the VolumeID of an active volume; 0 when not, or
// when the volume list cannot be read.
int IsVolumeId(ControllerInfo* controller, uint8_t target_id);

// 1 when the candidates are not a mix of SSDs and rotating drives (and sets
// AllCandidatesSsd); anything else is a failed check.
int CheckSsdMix(ControllerInfo* controller, CandidateList* list);

// 1 when the candidates are not a mix of SAS and SATA drives, or when they are
// all SSDs and the firmware lets such SSDs mix; anything else is a failure.
int CheckSasSataMix(ControllerInfo* controller, const CandidateList& list);
