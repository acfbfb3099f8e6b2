// STATUS: the background operation and resync progress of every volume.
#include <cstdio>

#include "console/output_check.h"
#include "report/report.h"
#include "report/report_words.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace {

constexpr char kStatusUsage[] =
    "  volkit <controller #> STATUS\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

// 1 when the volume's lines (and a running resync's progress) were printed.
int ShowVolume(ControllerInfo* c, int number, const IocPg2Volume& entry) {
  PageBuffer volume;
  if (!ReadRaidVolPg0(c, RaidVolumeAddress(entry.VolumeBus, entry.VolumeID), &volume)) {
    return 0;
  }
  VolumeProgress progress{};
  if (!RaidActionVolumeProgress(c, entry.VolumeBus, entry.VolumeID, &progress)) {
    return 0;
  }
  uint64_t total = progress.TotalBlocks;
  uint64_t remaining = progress.BlocksRemaining;
  uint8_t flags = RaidVolPg0VolumeStatusFlags(volume);
  bool inactive = (flags & kVolumeStatusInactive) || (entry.VolumeFlags & kVolumeFlagInactive);

  std::printf("IR Volume %d\n", number);
  std::printf("  Volume ID                               : %d\n", RaidVolPg0VolumeID(volume));
  std::printf("  Current operation                       : %s\n",
              (flags & kVolumeStatusResyncing) ? "Synchronize" : "None");
  std::printf("  Volume status                           : %s\n",
              (flags & kVolumeStatusEnabled) ? "Enabled" : "Disabled");
  std::printf("  Volume state                            : %s%s\n", inactive ? "Inactive, " : "",
              StatusStateWord(RaidVolPg0VolumeState(volume)));
  std::printf("  Physical disk I/Os                      : %s\n",
              (flags & kVolumeStatusQuiesced) ? "Quiesced" : "Not quiesced");
  if (!(flags & kVolumeStatusResyncing)) return 1;
  // A firmware that reports more blocks left than the whole would make the
  // percentage nonsense; it is as useless as a zero total.
  if (total == 0 || remaining > total) {
    FlushStandardOutput();
    std::fprintf(stderr,
                 "volkit: bad indicator data received from controller! total blocks = %lld\n",
                 static_cast<long long>(total));
    return 0;
  }
  std::fputs(ProgressLines(total, remaining).c_str(), stdout);
  return 1;
}

}  // namespace

int StatusCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc > 3) {
    std::fprintf(stderr, "volkit: too many command arguments!\n");
    std::fputs(kStatusUsage, stderr);
    return 1;
  }
  PageBuffer ioc2;
  if (!ReadIocPg2(c, &ioc2)) return 1;
  int count = IocPg2VolumeCount(ioc2);
  if (count == 0) {
    std::fprintf(stderr, "volkit: there are no IR volumes on the controller!\n");
    return 1;
  }
  std::printf("Background command progress status for controller %s...\n", argv[1]);
  int last = 0;
  for (int i = 0; i < count; ++i) last = ShowVolume(c, i + 1, IocPg2VolumeAt(ioc2, i));
  return last == 1 ? 0 : 1;
}
