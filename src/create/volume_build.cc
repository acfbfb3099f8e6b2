// The end CREATE and AUTO share: the build of the chosen volume and what
// follows it.
#include "create/volume_build.h"

#include <cstdio>

#include "raid/boot_device.h"
#include "vxt/pages.h"

int BuildVolume(ControllerInfo* c, const VolumeRequest& request, const CandidateList& candidates,
                const RaidLimits& limits) {
  uint8_t volume_id = 0;
  const int built = request.CreateVolumeType == kVolumeTypeIM
                        ? CreateIMVolume(c, request, candidates, limits, &volume_id)
                        : Create1EVolume(c, request, candidates, limits, &volume_id);
  if (built != 1) return VolumeCreationFailed();
  // The volume stands whatever the boot device's upkeep makes of it.
  if (c->BusType == kBusTypeSas) UpdateBootDevice(c, kBootEventVolumeCreated, volume_id);
  return 0;
}

int VolumeCreationFailed() {
  std::printf("volkit: Volume creation failed.\n");
  return 1;
}
