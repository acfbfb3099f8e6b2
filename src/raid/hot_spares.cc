// The hot-spare list, and making and deleting a hot spare.
#include "raid/hot_spares.h"

#include "raid/phys_disks.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace {

// Whether some volume of `iocpg2` lists `phys_disk_num` as a member.  A volume
// page that cannot be read ends the search with `result` telling so.
bool ListedByVolume(ControllerInfo* c, ConstBytes iocpg2, uint8_t phys_disk_num, int* result) {
  int volumes = IocPg2VolumeCount(iocpg2);
  for (int i = 0; i < volumes; ++i) {
    PageBuffer vol0;
    *result = ReadRaidVolPg0(c, IocPg2VolumeAt(iocpg2, i).VolumeID, &vol0);
    if (*result != 1) return false;
    int members = RaidVolPg0MemberCount(vol0);
    for (int m = 0; m < members; ++m) {
      if (RaidVolPg0MemberAt(vol0, m).PhysDiskNum == phys_disk_num) return true;
    }
  }
  return false;
}

// Hands the target ID of every hot spare, in IocPg5 order, to `visit` until
// it returns false.  Returns the result of the last page read.
template <typename Visit>
int WalkHotSpares(ControllerInfo* c, Visit visit) {
  PageBuffer iocpg2;
  PageBuffer iocpg5;
  int result = ReadIocPg2(c, &iocpg2);
  if (result != 1) return result;
  result = ReadIocPg5(c, &iocpg5);
  if (result != 1) return result;
  int spares = IocPg5HotSpareCount(iocpg5);
  for (int k = 0; k < spares; ++k) {
    PageBuffer disk;
    result = ReadRaidPhysDiskPg0(c, IocPg5HotSparePhysDiskNum(iocpg5, k), &disk);
    if (result != 1) break;
    if (RaidPhysDiskPg0HotSparePool(disk) == 0) continue;
    if (ListedByVolume(c, iocpg2, RaidPhysDiskPg0PhysDiskNum(disk), &result)) continue;
    if (!visit(RaidPhysDiskPg0PhysDiskID(disk))) break;
  }
  return result;
}

}  // namespace

int CollectHotSpares(ControllerInfo* c, HotSpareList* list) {
  *list = {};
  return WalkHotSpares(c, [list](uint8_t id) {
    if (list->Count < kHotSpareListRoom) {
      list->TargetIds[list->Count++] = id;
    } else if (list->Unrecorded < UINT8_MAX) {
      ++list->Unrecorded;
    }
    return true;
  });
}

bool IsAnyHotSpare(ControllerInfo* c, uint8_t target_id, const HotSpareList& list) {
  if (IsHotSpare(target_id, list)) return true;
  if (list.Unrecorded == 0) return false;
  bool found = false;
  WalkHotSpares(c, [&](uint8_t id) {
    found = id == target_id;
    return !found;
  });
  return found;
}

bool IsHotSpare(uint8_t target_id, const HotSpareList& list) {
  for (int i = 0; i < list.Count && i < kHotSpareListRoom; ++i) {
    if (list.TargetIds[i] == target_id) return true;
  }
  return false;
}

int CreateHotSpare(ControllerInfo* c, uint8_t target_id) {
  uint8_t phys_disk_num = 0;
  return CreatePhysDisks(c, IocNumber(*c), &target_id, 1, 1, &phys_disk_num);
}

int DeleteHotSpare(ControllerInfo* c, uint8_t target_id) {
  HotSpareList list;
  CollectHotSpares(c, &list);
  if (!IsAnyHotSpare(c, target_id, list)) return 0;
  PageBuffer iocpg5;
  int result = ReadIocPg5(c, &iocpg5);
  if (result != 1) return result;
  int spares = IocPg5HotSpareCount(iocpg5);
  for (int k = 0; k < spares; ++k) {
    PageBuffer disk;
    result = ReadRaidPhysDiskPg0(c, IocPg5HotSparePhysDiskNum(iocpg5, k), &disk);
    if (result != 1) return result;
    if (RaidPhysDiskPg0PhysDiskID(disk) != target_id) continue;
    return RaidActionDeletePhysDisk(c, RaidPhysDiskPg0PhysDiskNum(disk));
  }
  return 0;
}
