// What a careful firmware does when a disk fails: the volume it belongs to
// loses that copy, and a hot spare large enough for the volume takes the
// member's place and is resynchronised.
#pragma once

#include <cstdint>

#include "model/model.h"

namespace vxtsim {

// Marks the physical disk failed; the firmware reacts at once. False when
// there is no such physical disk.
bool FailPhysDisk(Controller& ctl, uint8_t num);

// Reacts to every physical disk marked failed that the firmware has not yet
// taken out of service (a lab's `failed`). Returns true when anything
// changed.
bool HandleFailedDisks(Controller& ctl);

// Blocks a member must hold to stand in a volume: a mirror's blocks and the
// metadata reserve; for an enhanced mirror the reserve and the member's
// share of twice the volume's blocks.
uint64_t MemberBlocksNeeded(const Controller& ctl, const Volume& vol);

}  // namespace vxtsim
