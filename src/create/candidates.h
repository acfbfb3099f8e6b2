// The candidate drives of a new volume: resolving the drive words and
// checking that each drive can serve as a RAID member.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

inline constexpr uint32_t kCandidateUnchecked = 0;
inline constexpr uint32_t kCandidateUsable = 2;

// The highest target ID of the controller being configured: 127 on SAS, 15 on
// parallel SCSI.  An unset PrimaryId or SecondaryId holds one more.
extern uint8_t MaxTargetId;

// Set by CheckSsdMix: every candidate is an SSD.
extern int AllCandidatesSsd;

// NumRAIDCandidates, but never more than `room` nor less than 0.
inline int CandidateCount(const ControllerInfo& c, int room) {
  if (c.NumRAIDCandidates < 0) return 0;
  return c.NumRAIDCandidates < room ? c.NumRAIDCandidates : room;
}

// Empties the candidate fields of `controller` for a new selection.
void ResetCandidates(ControllerInfo* controller, int type_limit);

// Stores an accepted drive as the next candidate.  0 when the list is full.
int AcceptCandidate(ControllerInfo* controller, uint8_t target_id, uint32_t blocks,
                    uint32_t block_size, const uint8_t* inquiry);

// Resolves and checks each of `count` drive words in order and stores the
// accepted drives.  1 when every drive passed; else 0 after the message.
// `count` must not exceed the room of the candidate list.
int CheckCandidates(ControllerInfo* controller, char** words, int count);

// 1 when `target_id` is the VolumeID of an active volume; 0 when not, or
// when the volume list cannot be read.
int IsVolumeId(ControllerInfo* controller, uint8_t target_id);

// 1 when the candidates are not a mix of SSDs and rotating drives (and sets
// AllCandidatesSsd); anything else is a failed check.
int CheckSsdMix(ControllerInfo* controller);

// 1 when the candidates are not a mix of SAS and SATA drives, or when they are
// all SSDs and the firmware lets such SSDs mix; anything else is a failure.
int CheckSasSataMix(ControllerInfo* controller);
