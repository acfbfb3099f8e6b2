// The controller's RAID limits as the firmware applies them: how many
// volumes, physical disks and hot spares it keeps, how many members each
// volume type takes, and how much of each member it keeps for metadata.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vxtsim {

struct MemberCount {
  uint8_t min, max;
};

// IocPg6's member counts for a volume type; a controller without the page
// uses the defaults of its kind.
MemberCount MemberCountLimits(const Controller& ctl, uint8_t type);
uint8_t MaxHotSpares(const Controller& ctl);

// Blocks each member of a volume of this type keeps for metadata: IocPg6's
// MetadataSize, or 512 MiB when the type's default settings word in
// ManufacturingPg4 asks for it.
uint64_t MetadataReserveBlocks(const Controller& ctl, uint8_t type);

// Whether the controller builds volumes of this type now (IocPg2
// CapabilityFlags, and the IR switch as of the last reset).
bool TypeSupported(const Controller& ctl, uint8_t type);
bool WideVolumesSupported(const Controller& ctl);

// Largest volume, in blocks, that members of these sizes (in blocks) hold:
// a mirror is no larger than its smaller member; a stripe set takes the
// smallest member's usable part on every member, an enhanced mirror half
// of that.
uint64_t VolumeCapacity(const Controller& ctl, uint8_t type,
                        const std::vector<uint64_t>& member_blocks);

}  // namespace vxtsim
