// SETOFFLINE and SETONLINE: one routine, told apart by their action and
// texts.
#include <cstdio>

#include "console/drive_address.h"
#include "console/usage.h"
#include "raid/volume_member.h"
#include "setcfg/setcfg.h"
#include "vxt/raid_action.h"

namespace {

struct MemberStateCommand {
  uint8_t Action;
  const char* Usage;  // follows the banner line
  const char* Failed;
};

constexpr MemberStateCommand kSetOffline = {
    kRaidActionPhysDiskOffline,
    "  volkit <controller #> SETOFFLINE <SCSI ID>/<Encl:Bay>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255,\n"
    "    <SCSI ID> is any valid ID of a physical disk\n"
    "      which you want to bring to offline\n"
    "    <Encl:Bay> is any valid Enclosure:Bay pair of a physical disk\n"
    "      which you want to bring to offline\n",
    "volkit: Setoffline command failed.\n",
};

constexpr MemberStateCommand kSetOnline = {
    kRaidActionPhysDiskOnline,
    "  volkit <controller #> SETONLINE <SCSI ID>/<Encl:Bay>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255,\n"
    "    <SCSI ID> is any valid ID of a physical disk\n"
    "      which you want to bring to online\n"
    "    <Encl:Bay> is any valid Enclosure:Bay pair of a physical disk\n"
    "      which you want to bring to online\n",
    "volkit: Setonline command failed.\n",
};

int RunMemberStateCommand(const MemberStateCommand& command, ControllerInfo* c, int argc,
                          char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "%s%s\n", kBanner, command.Usage);
    return 1;
  }
  uint8_t target_id = 0;
  uint8_t phys_disk_num = 0;
  if (ResolveDriveTarget(c, argv[3], &target_id) == 1 &&
      FindVolumeMember(c, target_id, &phys_disk_num) == 1 &&
      SetPhysDiskState(c, phys_disk_num, command.Action) == 1) {
    return 0;
  }
  std::printf("%s", command.Failed);
  return 1;
}

}  // namespace

int SetOfflineCommand(ControllerInfo* c, int argc, char** argv) {
  return RunMemberStateCommand(kSetOffline, c, argc, argv);
}

int SetOnlineCommand(ControllerInfo* c, int argc, char** argv) {
  return RunMemberStateCommand(kSetOnline, c, argc, argv);
}
