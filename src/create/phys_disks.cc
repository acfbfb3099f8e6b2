#include "create/phys_disks.h"

#include <cstdio>

#include "vxt/pages.h"
#include "vxt/vxt_assert.h"
#include "vxt/vxt_util.h"

namespace {

// The image must reach HotSparePool, the last field we fill.
constexpr size_t kPhysDiskImageMinBytes = 11;

}  // namespace

int CreatePhysDisks(ControllerInfo* c, uint8_t ioc_number, const uint8_t* target_ids, int count,
                    uint8_t hot_spare_pool, uint8_t* phys_disk_nums) {
  VXT_ASSERT(count > 0, "NumDisks > 0");
  PageHeader header;
  if (!ReadPageHeader(c, kPageTypeRaidPhysDisk, 0, &header)) return 0;
  PageBuffer image(size_t{header.PageLength} * 4, 0);
  if (image.size() < kPhysDiskImageMinBytes) return 0;
  PutU8(image, 0, header.PageVersion);
  PutU8(image, 1, header.PageLength);
  PutU8(image, 2, header.PageNumber);
  PutU8(image, 3, header.PageType);
  SetRaidPhysDiskPg0PhysDiskIOC(image, ioc_number);
  SetRaidPhysDiskPg0HotSparePool(image, hot_spare_pool);

  for (int i = 0; i < count; ++i) {
    SetRaidPhysDiskPg0PhysDiskID(image, target_ids[i]);
    if (!VxtRaidAction(c, kRaidActionCreatePhysDisk, 0, 0, 0, 0, image.data(),
                       static_cast<uint32_t>(image.size()), 1)) {
      DeletePhysDisks(c, phys_disk_nums, i);
      return 0;
    }
    phys_disk_nums[i] = static_cast<uint8_t>(RaidReplyActionData(LastReply(*c)));
  }
  return 1;
}

int DeletePhysDisks(ControllerInfo* c, const uint8_t* phys_disk_nums, int count) {
  int all_gone = 1;
  for (int i = 0; i < count; ++i) {
    if (!VxtRaidAction(c, kRaidActionDeletePhysDisk, phys_disk_nums[i], 0, 0, 0, nullptr, 0, 0)) {
      std::fprintf(stderr, "volkit: Couldn't remove physical disk %d made for the volume!\n",
                   phys_disk_nums[i]);
      all_gone = 0;
    }
  }
  return all_gone;
}
