#include "raid/phys_disks.h"

#include <cstdio>
#include <optional>

#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"
#include "vxt/vxt_assert.h"

namespace {

// The image must reach HotSparePool, the last field we fill.
constexpr size_t kPhysDiskImageMinBytes = 11;

// The number of the physical disk just made for `target`: the one the reply
// named, or when the driver completed the request without a reply frame, the
// one the firmware's list of physical disks gives.  0 when neither tells.
int NewPhysDiskNum(ControllerInfo* c, uint8_t target, std::optional<uint8_t> named,
                   uint8_t* phys_disk_num) {
  if (named) {
    *phys_disk_num = *named;
    return 1;
  }
  PageBuffer iocpg3;
  if (!ReadIocPg3(c, &iocpg3)) return 0;
  int disks = IocPg3PhysDiskCount(iocpg3);
  for (int j = 0; j < disks; ++j) {
    IocPg3PhysDisk entry = IocPg3PhysDiskAt(iocpg3, j);
    if (entry.PhysDiskID == target && entry.PhysDiskBus == 0) {
      *phys_disk_num = entry.PhysDiskNum;
      return 1;
    }
  }
  return 0;
}

}  // namespace

int CreatePhysDisks(ControllerInfo* c, uint8_t ioc_number, const uint8_t* target_ids, int count,
                    uint8_t hot_spare_pool, uint8_t* phys_disk_nums) {
  VXT_ASSERT(count > 0, "NumDisks > 0");
  PageHeader header;
  if (!ReadPageHeader(c, kPageTypeRaidPhysDisk, 0, &header)) return 0;
  PageBuffer image = BlankPageImage(header);
  if (image.size() < kPhysDiskImageMinBytes) return 0;
  SetRaidPhysDiskPg0PhysDiskIOC(image, ioc_number);
  SetRaidPhysDiskPg0HotSparePool(image, hot_spare_pool);

  for (int i = 0; i < count; ++i) {
    SetRaidPhysDiskPg0PhysDiskID(image, target_ids[i]);
    std::optional<uint8_t> named;
    if (!RaidActionCreatePhysDisk(c, image, &named) ||
        !NewPhysDiskNum(c, target_ids[i], named, &phys_disk_nums[i])) {
      DeletePhysDisks(c, phys_disk_nums, i);
      return 0;
    }
  }
  return 1;
}

int DeletePhysDisks(ControllerInfo* c, const uint8_t* phys_disk_nums, int count) {
  int all_gone = 1;
  for (int i = 0; i < count; ++i) {
    if (!RaidActionDeletePhysDisk(c, phys_disk_nums[i])) {
      std::fprintf(stderr, "volkit: Couldn't remove physical disk %d made for the volume!\n",
                   phys_disk_nums[i]);
      all_gone = 0;
    }
  }
  return all_gone;
}
