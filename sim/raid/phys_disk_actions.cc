// Actions 13 and 14: a disk becomes a RAID physical disk (a volume member to
// be, or a hot spare) and stops being one. While it is one, plain SCSI I/O
// no longer reaches it; the RAID-member pass-through does, by PhysDiskNum.
#include "firmware/controller.h"
#include "firmware/raid_config.h"
#include "firmware/raid_limits.h"
#include "firmware/scsi_target.h"
#include "raid/raid_actions.h"
#include "raid/raid_edit.h"

namespace vxtsim {

namespace {

// The lowest number no physical disk has; 256 when all are taken.
unsigned LowestFreeNum(const Controller& ctl) {
  unsigned num = 0;
  while (num < 256 && FindPhysDisk(ctl, static_cast<uint8_t>(num))) ++num;
  return num;
}

}  // namespace

uint16_t CreatePhysDisk(Controller& ctl, const Message& msg, Completion& out) {
  if (!PageImage(ctl, kRaidPhysDiskPg0, msg)) return kActionInvalid;
  const Bytes& image = msg.data_out;
  namespace P = layout::raid_phys_disk_pg0;
  uint8_t target = Get8(image, P::kPhysDiskId), bus = Get8(image, P::kPhysDiskBus),
          pool = Get8(image, P::kHotSparePool);
  const Device* disk = DiskAt(ctl, bus, target);
  if (!disk) return kActionNotFound;
  if (IsPhysDiskTarget(ctl, bus, target)) return kActionInUse;
  unsigned num = LowestFreeNum(ctl);
  if (ctl.raid.phys_disks.size() >= PageField(ctl, kIocPg2, kMaxPhysDisks) || num > 0xFF) {
    return kActionLimit;
  }
  if (pool != 0 && HotSpareCount(ctl) >= MaxHotSpares(ctl)) return kActionLimit;

  PhysDisk pd;
  pd.num = static_cast<uint8_t>(num);
  pd.target = target;
  pd.bus = bus;
  pd.ioc = ctl.IocNumber();
  pd.hot_spare_pool = pool;
  pd.max_lba = DiskMaxLba(*disk);
  // The firmware keeps the identity it read when the disk joined.
  pd.vendor = disk->vendor.value;
  pd.product = disk->product.value;
  pd.revision = disk->revision.value;
  ctl.raid.given = ctl.raid.phys_disks_given = true;
  ctl.raid.phys_disks.push_back(std::move(pd));
  Put32(out.reply, layout::raid_action_frame::kReplyActionData, num);
  out.changed = true;
  return kActionDone;
}

uint16_t DeletePhysDisk(Controller& ctl, const Message& msg, Completion& out) {
  uint8_t num = FramePhysDiskNum(msg);
  const PhysDisk* pd = FindPhysDisk(ctl, num);
  if (!pd) return kActionNotFound;
  if (IsVolumeMember(ctl, num)) return kActionInUse;
  std::vector<PhysDisk>& disks = ctl.raid.phys_disks;
  disks.erase(disks.begin() + (pd - disks.data()));
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
