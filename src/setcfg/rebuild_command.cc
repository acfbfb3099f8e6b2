// REBUILD: a mirror resynchronises a member that went offline and came back,
// so cycling the second member restarts the resynchronisation.
#include <cstdio>
#include <cstdlib>

#include "console/words.h"
#include "setcfg/setcfg.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace {

constexpr char kRebuildUsage[] =
    "  volkit <controller #> REBUILD <Volume ID>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <Volume ID> is:\n"
    "      Target ID of IM/IME Volume where resyncying of drives is initiated.\n";

int ReadVolumePage(ControllerInfo* c, int volume_id, PageBuffer* page) {
  return ReadRaidVolPg0(c, RaidVolumeAddress(0, static_cast<uint8_t>(volume_id)), page);
}

// The online action failed after the offline one went through: the mirror
// now runs degraded, and the administrator must learn which disk to bring
// back.  The disk's target comes from its page, read only now.
void ReportMemberLeftOffline(ControllerInfo* c, int volume_id, uint8_t phys_disk_num) {
  PageBuffer disk;
  if (ReadRaidPhysDiskPg0(c, phys_disk_num, &disk) == 1 && FieldFits(disk.size(), 4, 1)) {
    uint8_t target_id = RaidPhysDiskPg0PhysDiskID(disk);
    std::fprintf(stderr,
                 "volkit: The disk with SCSI Id %d (physical disk %d) of volume %d is left "
                 "offline!\n"
                 "        Run \"volkit %u setonline %d\" to bring it back online.\n",
                 target_id, phys_disk_num, volume_id, c->Adapter.ControllerNumber, target_id);
    return;
  }
  std::fprintf(stderr,
               "volkit: Physical disk %d of volume %d is left offline!\n"
               "        Run \"volkit %u setonline <SCSI ID>\" with its SCSI Id to bring it "
               "back online.\n",
               phys_disk_num, volume_id, c->Adapter.ControllerNumber);
}

}  // namespace

int RebuildCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "%s\n", kRebuildUsage);
    return 1;
  }
  // Read unsigned, a minus sign turns into a value far above any limit.
  unsigned long volume_id = 0;
  if (!ParseWholeUnsigned(argv[3], &volume_id) || volume_id > DeviceLimit(*c)) {
    std::fprintf(stderr, "volkit: bad Volume ID \"%s\"! Must be between 0 and %d inclusively.\n",
                 argv[3], DeviceLimit(*c));
    std::exit(1);
  }
  int id = static_cast<int>(volume_id);
  if (CheckRebuildVolume(c, id) == 1 && RestartMemberSync(c, id) == 1) return 0;
  std::printf("volkit: Rebuild command failed.\n");
  return 1;
}

int CheckRebuildVolume(ControllerInfo* c, int volume_id) {
  PageBuffer iocpg2;
  int result = ReadIocPg2(c, &iocpg2);
  if (result != 1) return result;
  bool exists = false;
  bool mirrored = true;
  for (int i = 0; i < IocPg2VolumeCount(iocpg2); ++i) {
    IocPg2Volume v = IocPg2VolumeAt(iocpg2, i);
    if (v.VolumeID != volume_id) continue;
    exists = true;
    if (v.VolumeType != kVolumeTypeIME && v.VolumeType != kVolumeTypeIM) mirrored = false;
  }
  if (!exists) {
    std::fprintf(stderr, "volkit: Volume ID (%d) specified does not exist!\n", volume_id);
    return 0;
  }
  if (!mirrored) {
    std::fprintf(stderr, "volkit: Volume ID (%d) specified is not of type IM or IME!\n", volume_id);
    return 0;
  }
  PageBuffer volume;
  if (ReadVolumePage(c, volume_id, &volume) != 1) return 0;
  if (RaidVolPg0VolumeStatusFlags(volume) & kVolumeStatusResyncing) {
    std::fprintf(stderr, "volkit: Volume is Resyncing! Cannot start rebuild at this time.\n");
    return 0;
  }
  return 1;
}

int RestartMemberSync(ControllerInfo* c, int volume_id) {
  PageBuffer volume;
  int result = ReadVolumePage(c, volume_id, &volume);
  if (result != 1) return result;
  // A page that lists no second member names no disk to cycle; its missing
  // bytes would read as physical disk 0, which may be another volume's.
  if (RaidVolPg0MemberCount(volume) < 2) return 0;
  uint8_t phys_disk_num = RaidVolPg0MemberAt(volume, 1).PhysDiskNum;
  result = RaidActionPhysDiskOffline(c, phys_disk_num);
  if (result != 1) return result;
  result = RaidActionPhysDiskOnline(c, phys_disk_num);
  if (result != 1) ReportMemberLeftOffline(c, volume_id, phys_disk_num);
  return result;
}
