// The CREATE handler: argument checks, the dialogue, the controller's
// capability and volume checks, then the candidate checks and the build.
#include <cstdio>
#include <string>

#include "console/confirm.h"
#include "create/candidates.h"
#include "create/create.h"
#include "create/volume_build.h"
#include "create/volume_request.h"
#include "raid/raid_limits.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr int kFirstDriveArgument = kFirstOptionArgument;
constexpr int kFail = 1;

constexpr char kCreateUsage[] =
    "  The format of the CREATE command is\n"
    "    volkit <controller #> create <volume type> <size>\n"
    "    {<SCSI ID>/<Encl:Bay>} [qsync] [noprompt]\n"
    "      where <controller #> is:\n"
    "          A controller number between 0 and 255.\n"
    "      where <volume type> is:\n"
    "          The type of the volume to create and is either IM/RAID1 (or)\n"
    "          IME/RAID1E (or) IS/RAID0.\n"
    "      where <size> is:\n"
    "          The size of the volume to create. It should be given in Mbytes\n"
    "          e.g. 2048 or 'MAX' to use the maximum size possible.\n"
    "      where {<SCSI ID>/<Encl:Bay>} is:\n"
    "          A list of SCSI Ids or Encl:Bay pairs identifying the disk drives you\n"
    "          wish to include in the volume being created. If the volume type is\n"
    "          'IM', the first drive will be selected as the primary and the\n"
    "          second as the secondary drive.\n"
    "          For a type 'IM' volume exactly 2 disks must be specified.\n"
    "          For a type 'IME' volume 3 to 10 disks must be specified.\n"
    "          For a type 'IS' volume minimum of 1 disk must be specified.\n"
    "      where qsync specifies that the user desires a quick\n"
    "          synchronization of the two drives in an IM volume\n"
    "      where noprompt is an optional argument that eliminates\n"
    "          warnings and prompts\n";

void SayDriveCount() { std::fprintf(stderr, "volkit: incorrect number of SCSI ID's specified\n"); }

// Takes a trailing `qsync` off the count.  A last word that starts with a
// digit is a drive and is left alone.
int ParseQuickSync(char** argv, int* count, VolumeRequest* request) {
  request->QuickSync = 0;
  bool is_sync = false;
  if (!ParseSyncWord(argv[*count - 1], request, &is_sync)) return 0;
  if (is_sync) --*count;
  return 1;
}

// The disks of the volumes already there, with the new ones, must stay within
// the controller's total.
int CheckDiskTotal(ControllerInfo* c, ConstBytes iocpg2, const RaidLimits& limits,
                   int drive_words) {
  int total = 0;
  if (CountVolumeMembers(c, iocpg2, &total) != 1) return -1;
  if (total + drive_words > limits.MaxPhysDisks) {
    std::fprintf(stderr,
                 "volkit: Incorrect number of SCSI ID's specified;Exceeds total disks for "
                 "multi-volume!\n");
    return 0;
  }
  return 1;
}

// The drive count the type takes; CREATE builds a mirror of exactly the
// firmware's minimum.
bool DriveCountFits(const RaidLimits& l, uint8_t type, int n) {
  const DriveCountRange range = DriveCountOf(l, type);
  if (type == kVolumeTypeIM) return n == l.MinDrivesIM && n >= range.Minimum;
  return n >= range.Minimum && n <= range.Maximum;
}

// `check_drives` checks the `n` drives into the candidate list it is given.
template <typename CheckDrives>
int CheckAndBuild(ControllerInfo* c, ConstBytes iocpg2, const VolumeRequest& request, int n,
                  CheckDrives check_drives) {
  const RaidLimits limits = LoadRaidLimits(c, request.CreateVolumeType);
  CandidateList candidates{};
  ResetCandidates(&candidates, c->BusType, DriveCountOf(limits, request.CreateVolumeType).Maximum);
  if (c->BusType == kBusTypeSas && IocPg2NumActiveVolumes(iocpg2) != 0) {
    int total = CheckDiskTotal(c, iocpg2, limits, n);
    if (total != 1) return kFail;
  }
  // The candidate list has a fixed room; more words than it holds are refused
  // before any of them is stored.
  if (n > kMaxCandidateIds) {
    SayDriveCount();
    return kFail;
  }
  if (check_drives(&candidates) != 1) return VolumeCreationFailed();
  if (!DriveCountFits(limits, request.CreateVolumeType, n)) {
    SayDriveCount();
    return kFail;
  }
  return BuildVolume(c, request, candidates, limits);
}

}  // namespace

int CreateCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc < kFirstDriveArgument + 1) {
    std::fprintf(stderr,
                 "volkit: Incorrect number of command line parameters for 'CREATE' command!\n");
    std::printf("%s\n", kCreateUsage);
    return kFail;
  }
  bool no_prompt = false;
  int count = DropNoPrompt(argc, argv, &no_prompt);
  if (!no_prompt && !ConfirmOperation(kCreateIntro, kDataLossWarning, kLastChanceWarning)) {
    return kFail;
  }
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return kFail;
  VolumeRequest request{};
  if (!CheckIrCapable(iocpg2, argv[1]) || !ParseVolumeType(iocpg2, argv[3], &request) ||
      !ParseSize(argv[4], &request) || !ParseQuickSync(argv, &count, &request)) {
    return kFail;
  }
  const int n = count - kFirstDriveArgument;
  return CheckAndBuild(c, iocpg2, request, n, [&](CandidateList* candidates) {
    return CheckCandidates(c, argv + kFirstDriveArgument, n, candidates);
  });
}

int CreateVolumeOnTargets(ControllerInfo* c, const VolumeRequest& request, const uint8_t* targets,
                          int count) {
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return kFail;
  const std::string controller_word = std::to_string(c->Adapter.ControllerNumber);
  if (!CheckIrCapable(iocpg2, controller_word.c_str()) ||
      !CheckVolumeType(iocpg2, request.CreateVolumeType)) {
    return kFail;
  }
  return CheckAndBuild(c, iocpg2, request, count, [&](CandidateList* candidates) {
    return CheckCandidateTargets(c, targets, count, candidates);
  });
}
