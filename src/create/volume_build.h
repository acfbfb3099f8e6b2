// The volume builders: they turn the checked candidates into a volume.  Each
// returns 1 when the volume was created, with its volume ID in `volume_id`,
// otherwise 0 or the failing request's result, after its message.  A build
// that fails before its volume exists leaves no physical disk of its own
// behind.
#pragma once

#include <cstdint>

#include "create/candidates.h"
#include "create/volume_request.h"
#include "raid/raid_limits.h"
#include "vxt/vxt.h"

// How CREATE and AUTO end once their candidates are checked and counted: the
// mirror builder for an IM volume, the striped one otherwise, then on SAS the
// boot device's upkeep for the new volume.  0 when the volume was created;
// otherwise 1 after VolumeCreationFailed's message.
int BuildVolume(ControllerInfo* controller, const VolumeRequest& request,
                const CandidateList& candidates, const RaidLimits& limits);

// Says on standard output that the volume was not created and returns 1, the
// exit status of a CREATE or AUTO that built nothing.
int VolumeCreationFailed();

// A mirror (IM) on PrimaryId and SecondaryId.  Needs two candidates or more.
int CreateIMVolume(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits, uint8_t* volume_id);

// An enhanced mirror (IME) or a striped (IS) volume on every candidate, as
// CreateVolumeType says.  An IME volume needs two candidates or more.
int Create1EVolume(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits, uint8_t* volume_id);

// 1 when a target ID occurs twice among the candidates.
int HasDuplicateIds(const CandidateList& candidates);
