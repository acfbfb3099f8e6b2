// The volume builders: they turn the checked candidates into a volume.  Each
// returns 1 when the volume was created, otherwise 0 or the failing request's
// result, after its message.  A build that fails before its volume exists
// leaves no physical disk of its own behind.
#pragma once

#include "create/candidates.h"
#include "create/volume_request.h"
#include "raid/raid_limits.h"
#include "vxt/vxt.h"

// A mirror (IM) on PrimaryId and SecondaryId.  Needs two candidates or more.
int CreateIMVolume(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits);

// An enhanced mirror (IME) or a striped (IS) volume on every candidate, as
// CreateVolumeType says.  An IME volume needs two candidates or more.
int Create1EVolume(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits);

// 1 when a target ID occurs twice among the candidates.
int HasDuplicateIds(const CandidateList& candidates);
