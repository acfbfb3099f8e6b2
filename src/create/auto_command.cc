// The AUTO handler (also AUTO1): a volume from drives the program picks
// itself, built by the same builders as CREATE's.
#include <cstdio>
#include <cstring>

#include "console/command_lock.h"
#include "console/confirm.h"
#include "create/auto_select.h"
#include "create/candidates.h"
#include "create/create.h"
#include "create/volume_build.h"
#include "create/volume_request.h"
#include "raid/raid_limits.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr int kFail = 1;
constexpr int kSyncOptionCount = 6;

constexpr char kAutoUsage[] =
    "  The format of the AUTO command is\n"
    "    volkit <controller #> auto <volume type> <size>\n"
    "    [qsync] [noprompt]\n"
    "      where <controller #> is:\n"
    "          A controller number between 0 and 255 OR\n"
    "          'SAS' to configure all SAS controllers\n"
    "      where <volume type> is:\n"
    "          The type of the volume to create and is either IM/RAID1 (or)\n"
    "          IME/RAID1E (or) IS/RAID0.\n"
    "      where <size> is:\n"
    "          The size of the volume to create. It should be given in Mbytes\n"
    "          e.g. 2048 or 'MAX' to use the maximum size possible.\n"
    "      where qsync specifies that the user desires a quick\n"
    "          synchronization of the two drives in an IM volume\n"
    "      where noprompt is an optional argument that eliminates\n"
    "          warnings and prompts\n";

// Only a lone word after the size can be the sync option.
int ParseSyncOption(char** argv, int count, VolumeRequest* request) {
  request->QuickSync = 0;
  bool is_sync = false;
  return count != kSyncOptionCount || ParseSyncWord(argv[kFirstOptionArgument], request, &is_sync);
}

// Keeps the drives the controller and the type allow, the lowest IDs first.
void TrimCandidates(const ControllerInfo& c, const RaidLimits& limits, uint8_t volume_type,
                    int existing_disks, CandidateList* candidates) {
  int n = candidates->NumRAIDCandidates;
  if (c.BusType == kBusTypeSas && existing_disks + n > limits.MaxPhysDisks) {
    n = limits.MaxPhysDisks - existing_disks;
  }
  int type_max = DriveCountOf(limits, volume_type).Maximum;
  if (n > type_max) n = type_max;
  candidates->NumRAIDCandidates = n;
}

struct DriveCount {
  const char* TypeName;
  int Minimum;
  int Maximum;
};

// The count the type takes, under its name for the refusal.  The candidates
// are already trimmed to the type's maximum.
DriveCount CountRule(const RaidLimits& l, uint8_t type) {
  const DriveCountRange range = DriveCountOf(l, type);
  const char* name = type == kVolumeTypeIM ? "IM" : type == kVolumeTypeIME ? "IME" : "IS";
  return {name, range.Minimum, range.Maximum};
}

// The picked drives are the build's from here on; one that another volkit is
// formatting refuses the whole volume, as CREATE naming it would.
int LockCandidateTargets(ControllerInfo* c, const CandidateList& candidates) {
  const int n = CandidateCount(candidates, kMaxCandidateIds);
  for (int i = 0; i < n; ++i) {
    if (!TakeTargetLock(c, candidates.CandidateIds[i])) return 0;
  }
  return 1;
}

int SelectAndBuild(ControllerInfo* c, ConstBytes iocpg2, const VolumeRequest& request,
                   bool is_auto1, bool no_prompt) {
  CandidateList candidates{};
  ResetCandidates(&candidates, c->BusType, kMaxCandidateIds);
  int existing_disks = 0;
  if (c->BusType == kBusTypeSas && IocPg2NumActiveVolumes(iocpg2) != 0 &&
      CountVolumeMembers(c, iocpg2, &existing_disks) != 1) {
    return kFail;
  }
  const RaidLimits limits = LoadRaidLimits(c, request.CreateVolumeType);
  SelectAutoDrives(c, is_auto1, &candidates);
  TrimCandidates(*c, limits, request.CreateVolumeType, existing_disks, &candidates);
  if (!LockCandidateTargets(c, candidates)) return kFail;
  if (!no_prompt && !ConfirmOperation(kCreateIntro, kDataLossWarning, kLastChanceWarning)) {
    return kFail;
  }
  const DriveCount rule = CountRule(limits, request.CreateVolumeType);
  const int n = candidates.NumRAIDCandidates;
  if (n < rule.Minimum || n > rule.Maximum) {
    std::fprintf(stderr, "volkit: at least %d drives must be available for %s creation.\n",
                 rule.Minimum, rule.TypeName);
    return kFail;
  }
  return BuildVolume(c, request, candidates, limits);
}

}  // namespace

int AutoCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc < 5 || argc > 7) {
    std::fprintf(stderr,
                 "volkit: Incorrect number of command line parameters for 'AUTO' command!\n");
    std::printf("%s\n", kAutoUsage);
    return kFail;
  }
  const bool is_auto1 = std::strcmp(argv[2], "auto1") == 0;
  bool no_prompt = false;
  int count = DropNoPrompt(argc, argv, &no_prompt);
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return kFail;
  VolumeRequest request{};
  if (!CheckIrCapable(iocpg2, argv[1]) || !ParseVolumeType(iocpg2, argv[3], &request) ||
      !ParseSize(argv[4], &request) || !ParseSyncOption(argv, count, &request)) {
    return kFail;
  }
  return SelectAndBuild(c, iocpg2, request, is_auto1, no_prompt);
}
