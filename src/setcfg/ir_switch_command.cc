// ENABLEIR and DISABLEIR: the IR switch in non-volatile IoUnitPg1, taken by
// the firmware at the next controller reset.
#include <cstdio>
#include <cstring>

#include "console/words.h"
#include "setcfg/setcfg.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr char kIrUsage[] =
    "  volkit <controller #> enableir/disableir\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

// The flags word sits at offset 4; a shorter page would take none of the
// change, and writing it back would pass for a switch that never happened.
constexpr size_t kIoUnitPg1FlagsEnd = 8;

// Writes the requested setting to non-volatile memory when it differs.  1 on
// success, with `changed` telling whether a write was made; 0 on failure.
int WriteIrSetting(ControllerInfo* c, bool disable, bool* changed) {
  *changed = false;
  PageBuffer iounit1;
  PageBuffer iocpg2;
  if (!ReadIoUnitPg1Nvram(c, &iounit1) || !ReadIocPg2(c, &iocpg2) ||
      iounit1.size() < kIoUnitPg1FlagsEnd) {
    return 0;
  }
  uint32_t flags = IoUnitPg1IoUnitFlags(iounit1);
  bool disabled = (flags & kIoUnitFlagIrDisabled) != 0;
  if (disable == disabled) return 1;
  if (disable && IocPg2NumActiveVolumes(iocpg2) != 0) {
    std::fprintf(stderr, "volkit: Cannot disable IR when volume(s) exist!\n");
    return 0;
  }
  SetIoUnitPg1IoUnitFlags(iounit1, flags ^ kIoUnitFlagIrDisabled);
  if (!VxtConfigWritePage(c, kPageActionWriteNvram, 0, iounit1)) return 0;
  *changed = true;
  return 1;
}

}  // namespace

int IrSwitchCommand(ControllerInfo* c, int argc, char** argv) {
  if (argc != 3) {
    std::printf("%s\n", kIrUsage);
    return 1;
  }
  LowerCaseWord(argv[2]);
  bool disable = std::strcmp(argv[2], "disableir") == 0;
  if (!disable && std::strcmp(argv[2], "enableir") != 0) return 1;

  bool changed = false;
  if (!WriteIrSetting(c, disable, &changed)) {
    std::printf(disable ? "volkit: Disable IR failed\n" : "volkit: Enable IR failed\n");
    return 1;
  }
  if (changed && ResetController(c) != 1) {
    std::printf("WARNING: Need system reboot to effect changes.\n");
  }
  return 0;
}
