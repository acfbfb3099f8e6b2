// Actions 13 and 14: a disk becomes a RAID physical disk (a volume member to
// be, or a hot spare) and stops being one. While it is one, plain SCSI I/O
// no longer reaches it; the RAID-member pass-through does, by PhysDiskNum.
#include "controller.h"
#include "page_table.h"
#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"
#include "raid_limits.h"
#include "scsi_target.h"

namespace vxtsim {

namespace {

size_t HotSpareCount(const json& ctl) {
  size_t spares = 0;
  for (const json& pd : PhysDisks(ctl)) spares += IsHotSpare(ctl, pd) ? 1 : 0;
  return spares;
}

// The lowest number no physical disk has; 256 when all are taken.
unsigned LowestFreeNum(const json& ctl) {
  unsigned num = 0;
  while (num < 256 && FindPhysDisk(ctl, static_cast<uint8_t>(num))) ++num;
  return num;
}

}  // namespace

uint16_t CreatePhysDisk(json& ctl, const Message& msg, Completion& out) {
  if (!PageImage(ctl, "RaidPhysDiskPg0", msg)) return kActionInvalid;
  if (IrDisabled(ctl)) return kActionLimit;
  const Bytes& image = msg.data_out;
  uint8_t target = Get8(image, 4), bus = Get8(image, 5), pool = Get8(image, 10);
  json* disk = DiskAt(ctl, bus, target);
  if (!disk) return kActionNotFound;
  if (IsPhysDiskTarget(ctl, bus, target)) return kActionInUse;
  unsigned num = LowestFreeNum(ctl);
  if (PhysDisks(ctl).size() >= PageField(ctl, "IocPg2", "MaxPhysDisks") || num > 0xFF) {
    return kActionLimit;
  }
  if (pool != 0 && HotSpareCount(ctl) >= MaxHotSpares(ctl)) return kActionLimit;

  json pd = {{"num", num},
             {"target", target},
             {"bus", bus},
             {"ioc", IocNumber(ctl)},
             {"hot_spare_pool", pool},
             {"max_lba", DiskMaxLba(*disk)}};
  // The firmware keeps the identity it read when the disk joined.
  for (const char* key : {"vendor", "product", "revision"}) pd[key] = Text(*disk, key, "");
  PhysDiskList(ctl).push_back(pd);
  Put32(out.reply, 24, num);
  out.changed = true;
  return kActionDone;
}

uint16_t DeletePhysDisk(json& ctl, const Message& msg, Completion& out) {
  uint8_t num = FramePhysDiskNum(msg);
  if (!FindPhysDisk(ctl, num)) return kActionNotFound;
  if (IsVolumeMember(ctl, num)) return kActionInUse;
  json& disks = PhysDiskList(ctl);
  for (size_t i = 0; i < disks.size(); ++i) {
    if (PhysDiskNum(disks[i]) == num) {
      disks.erase(i);
      break;
    }
  }
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
