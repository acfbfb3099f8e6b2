// The enhanced-mirror (IME) and striped (IS) volume build.
#include <bitset>
#include <cstdio>

#include "create/volume_build.h"
#include "create/volume_image.h"
#include "create/volume_size.h"
#include "raid/phys_disks.h"
#include "vxt/pages.h"
#include "vxt/vxt_assert.h"

namespace {

constexpr uint32_t kStripedActionData = 3;

}  // namespace

int HasDuplicateIds(const CandidateList& candidates) {
  // One mark for every possible target ID, so that no candidate can fall
  // outside the table whatever the controller's highest target ID.
  std::bitset<256> seen;
  int count = CandidateCount(candidates, kMaxCandidateIds);
  for (int i = 0; i < count; ++i) {
    if (seen.test(candidates.CandidateIds[i])) return 1;
    seen.set(candidates.CandidateIds[i]);
  }
  return 0;
}

int Create1EVolume(ControllerInfo* c, const VolumeRequest& request, const CandidateList& candidates,
                   const RaidLimits& limits, uint8_t* volume_id_out) {
  VXT_ASSERT(c != nullptr, "PtrControllerInfo != NULL");
  const uint8_t type = request.CreateVolumeType;
  const int count = CandidateCount(candidates, kMaxCandidateIds);
  VXT_ASSERT(type != kVolumeTypeIME || count > 1, "PtrControllerInfo->NumRAIDCandidates > 1");
  VXT_ASSERT(count > 0, "PtrControllerInfo->NumRAIDCandidates > 0");

  uint8_t members[kMaxCandidateIds];
  uint8_t maps[kMaxCandidateIds];
  uint8_t volume_id = candidates.CandidateIds[0];
  for (int i = 0; i < count; ++i) {
    members[i] = candidates.CandidateIds[i];
    maps[i] = static_cast<uint8_t>(i);
    if (members[i] < volume_id) volume_id = members[i];
  }
  if (HasDuplicateIds(candidates)) {
    std::fprintf(stderr, "volkit: Duplicate SCSI ID's specified as RAID volume candidates!\n");
    return 0;
  }
  uint64_t max_lba = 0;
  int result = Cal1EVolMaxLba(c, request, candidates, limits, &max_lba);
  if (result != 1) return result;
  if (!CandidatesUsable(candidates, count)) return 0;

  uint8_t phys_disk_nums[kMaxCandidateIds] = {};
  result = CreatePhysDisks(c, IocNumber(*c), members, count, 0, phys_disk_nums);
  if (result != 1) return result;

  const uint8_t pool = type == kVolumeTypeIME ? 1 : 0;
  VolumeLayout layout{type,  volume_id, pool,           max_lba,
                      count, maps,      phys_disk_nums, kStripedActionData};
  *volume_id_out = volume_id;
  return SubmitVolume(c, layout);
}
