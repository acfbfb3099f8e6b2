// FORMAT: a low-level format of one disk with SCSI FORMAT UNIT.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console/command_lock.h"
#include "console/confirm.h"
#include "console/drive_address.h"
#include "console/elapsed_ticker.h"
#include "console/output_check.h"
#include "console/words.h"
#include "setcfg/setcfg.h"
#include "vxt/config_page.h"
#include "vxt/drive_class.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr char kFormatUsage[] =
    "volkit <controller #> FORMAT <SCSI Id>/(Encl:Bay) [noprompt]\n"
    "  where\n"
    "    <controller #> is a number between 0 and 255\n"
    "    <SCSI Id> target Id of drive to format\n"
    "    <Encl:Bay> Enclosure and Bay # of the drive to format\n"
    "    [noprompt] is an option argument that eliminates warnings and prompts\n";

int RefuseArguments(const char* why) {
  std::fprintf(stderr, "%s", why);
  std::fprintf(stderr, "%s\n", kFormatUsage);
  return 1;
}

}  // namespace

int CheckFormatTarget(ControllerInfo* c, uint8_t id) {
  PageBuffer iocpg2;
  int result = ReadIocPg2(c, &iocpg2);
  if (result != 1) return result;
  if (IocPg2ListsVolume(iocpg2, id)) {
    std::fprintf(stderr, "volkit: target at Id %d is a IR volume!\n", id);
    return 0;
  }
  uint8_t inquiry[kStandardInquiryBytes];
  result = ScsiInquiry(c, PlainTarget(id), kStandardInquiry, inquiry, sizeof inquiry, 1);
  if (result == kScsiNoDevice) {
    std::fprintf(stderr,
                 "volkit: SCSI device at Id %d doesn't exist, is a hot spare or isn't powered "
                 "on!\n",
                 id);
    return 0;
  }
  if (result != kScsiSuccess) {
    std::fprintf(stderr, "volkit: could not retrieve information about SCSI device at Id %d!\n",
                 id);
    return 0;
  }
  if (!IsFixedDisk(inquiry)) {
    std::fprintf(stderr,
                 "volkit: SCSI device at Id %d can't be formatted; it's not an HDD or it has "
                 "removable media!\n",
                 id);
    return 0;
  }
  return 1;
}

int FormatCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    return RefuseArguments("volkit: incorrect number of command line arguments!\n\n");
  }
  bool no_prompt = false;
  if (argc == 5) {
    LowerCaseWord(argv[4]);
    if (std::strcmp(argv[4], "noprompt") != 0) {
      return RefuseArguments(
          "volkit: last command line argument must be \"noprompt\" or absent!\n\n");
    }
    no_prompt = true;
  }
  uint8_t id = 0;
  if (!ResolveDriveTarget(c, argv[3], &id)) return 1;
  // Held until the process ends, so that no second format and no volume
  // build takes the disk while the format runs.
  if (!TakeTargetLock(c, id)) return 1;
  if (CheckFormatTarget(c, id) != 1) return 1;
  if (!no_prompt && !ConfirmOperation(kFormatIntro, kFormatWarning, kLastChanceWarning)) {
    return 1;
  }
  std::printf("Formatting hard disk drive...\n");
  FlushStandardOutput();
  ElapsedTicker ticker = StartElapsedTicker(STDERR_FILENO);
  int result = ScsiFormatUnit(c, PlainTarget(id), 1);
  StopElapsedTicker(&ticker);
  return result == kScsiSuccess ? 0 : 1;
}
