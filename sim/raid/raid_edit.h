// Changes to the RAID configuration the actions share: the bookkeeping of a
// resynchronisation and the copy a mirror member gets when it is resynced.
#pragma once

#include <cstdint>

#include "model/model.h"

namespace vxtsim {

// Starts a resynchronisation of the whole volume: it runs degraded until
// progress reads have walked it to the end.
void StartResync(const Controller& ctl, Volume& vol);

// Gives a mirror member being resynchronised the blocks of a member that is
// in sync. The data is copied at once; the resynchronisation that progress
// requests walk through is bookkeeping.
void CopyToMirrorMember(Controller& ctl, const Volume& vol, uint8_t num);

// Members out of sync are in sync again (the volume finished or went).
void ClearOutOfSync(Controller& ctl, const Volume& vol);

}  // namespace vxtsim
