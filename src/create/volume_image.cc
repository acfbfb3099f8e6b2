#include "create/volume_image.h"

#include <cstdio>

#include "create/candidates.h"
#include "raid/phys_disks.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace {

constexpr uint16_t kVolumeSettingsDefaults = 0x8000;
constexpr size_t kFirstMemberOffset = 40;
constexpr size_t kMemberBytes = 4;

int BuildAndSend(ControllerInfo* c, const VolumeLayout& layout) {
  PageHeader header;
  if (!ReadPageHeader(c, kPageTypeRaidVolume, 0, &header)) return 0;
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return 0;
  PageBuffer image = BuildVolumeImage(header, IocNumber(*c), layout,
                                      IocPg2CapabilityFlags(iocpg2) & kCapability64BitLba);
  if (image.empty()) return 0;
  return RaidActionCreateVolume(c, layout.VolumeID, layout.ActionDataWord, image);
}

}  // namespace

PageBuffer BuildVolumeImage(const PageHeader& header, uint8_t ioc_number,
                            const VolumeLayout& layout, bool with_lba_high) {
  PageBuffer image = BlankPageImage(header);
  size_t members = layout.NumMembers < 0 ? 0 : static_cast<size_t>(layout.NumMembers);
  if (image.size() < kFirstMemberOffset + kMemberBytes * members) return {};
  SetRaidVolPg0VolumeID(image, layout.VolumeID);
  SetRaidVolPg0VolumeBus(image, 0);
  SetRaidVolPg0VolumeIOC(image, ioc_number);
  SetRaidVolPg0VolumeType(image, layout.VolumeType);
  SetRaidVolPg0VolumeSettings(image, kVolumeSettingsDefaults);
  SetRaidVolPg0HotSparePool(image, layout.HotSparePool);
  SetRaidVolPg0MaxLBA(image, static_cast<uint32_t>(layout.MaxLba));
  if (with_lba_high) SetRaidVolPg0MaxLBAHigh(image, static_cast<uint32_t>(layout.MaxLba >> 32));
  SetRaidVolPg0NumPhysDisks(image, static_cast<uint8_t>(members));
  for (size_t m = 0; m < members; ++m) {
    SetRaidVolPg0Member(image, static_cast<int>(m), layout.PhysDiskMaps[m], layout.PhysDiskNums[m]);
  }
  return image;
}

int SubmitVolume(ControllerInfo* c, const VolumeLayout& layout) {
  if (BuildAndSend(c, layout) == 1) return 1;
  // Nothing of this build may stay behind: only the disks it made go, never
  // a volume, disk or hot spare that was there before.
  DeletePhysDisks(c, layout.PhysDiskNums, layout.NumMembers);
  return 0;
}

int CandidatesUsable(const CandidateList& candidates, int count) {
  for (int i = 0; i < count && i < kMaxCandidateRecords; ++i) {
    if (candidates.Candidates[i].State != kCandidateUsable) {
      std::fprintf(stderr, "volkit: Can't use drive in a RAID volume!\n");
      return 0;
    }
  }
  return 1;
}
