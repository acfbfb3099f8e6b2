// The mirrored (IM) volume build.
#include <cstdio>
#include <vector>

#include "create/volume_build.h"
#include "create/volume_image.h"
#include "create/volume_size.h"
#include "raid/phys_disks.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"
#include "vxt/vxt_assert.h"

namespace {

constexpr uint8_t kMapPrimary = 1;
constexpr uint8_t kMapSecondary = 2;
constexpr uint16_t kClearedBlocks = 64;
constexpr uint32_t kClearedBytes = 0x8000;

// Quick sync skips the full resynchronisation, so whatever the members held
// at the start of the volume is wiped instead.
int ClearVolumeStart(ControllerInfo* c, uint8_t volume_id) {
  std::vector<uint8_t> zeros(kClearedBytes, 0);
  return ScsiReadWrite(c, PlainTarget(volume_id), ScsiTransfer::kWrite, 0, kClearedBlocks,
                       zeros.data(), kClearedBytes, 1);
}

}  // namespace

int CreateIMVolume(ControllerInfo* c, const VolumeRequest& request, const CandidateList& candidates,
                   const RaidLimits& limits, uint8_t* volume_id_out) {
  VXT_ASSERT(c != nullptr && candidates.NumRAIDCandidates > 1,
             "PtrControllerInfo != NULL && PtrControllerInfo->NumRAIDCandidates > 1");
  const uint8_t members[2] = {candidates.PrimaryId, candidates.SecondaryId};
  if (members[0] == members[1]) {
    std::fprintf(stderr, "volkit: Primary and Secondary ID's are the same!\n");
    return 0;
  }
  uint64_t max_lba = 0;
  int result = CalIMVolMaxLba(c, request, candidates, limits, &max_lba);
  if (result != 1) return result;
  if (!CandidatesUsable(candidates, candidates.NumRAIDCandidates)) return 0;

  uint8_t phys_disk_nums[2] = {};
  result = CreatePhysDisks(c, IocNumber(*c), members, 2, 0, phys_disk_nums);
  if (result != 1) return result;

  const uint8_t maps[2] = {kMapPrimary, kMapSecondary};
  const uint8_t volume_id = members[0] < members[1] ? members[0] : members[1];
  VolumeLayout layout{kVolumeTypeIM,  volume_id,        1, max_lba, 2, maps,
                      phys_disk_nums, request.QuickSync};
  result = SubmitVolume(c, layout);
  if (result != 1) return result;

  if (request.QuickSync & 1) result = ClearVolumeStart(c, volume_id);
  *volume_id_out = volume_id;
  return result;
}
