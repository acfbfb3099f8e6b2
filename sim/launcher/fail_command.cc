#include "fail_command.h"

#include <cstdio>
#include <cstdlib>

#include "document/state_file.h"
#include "firmware/scsi_target.h"
#include "raid/member_failure.h"
#include "raid/raid_config.h"

namespace vxtsim {

namespace {

bool ParseByte(const std::string& text, unsigned& out) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
  return out <= 255;
}

PhysDisk* PhysDiskAtTarget(Controller& ctl, unsigned target) {
  for (PhysDisk& pd : ctl.raid.phys_disks) {
    if (pd.target.value == target && pd.bus.value == 0) return &pd;
  }
  return nullptr;
}

}  // namespace

int FailCommand(const std::string& address, const std::string& state_path, Model& state) {
  size_t colon = address.find(':');
  unsigned number = 0, target = 0;
  if (colon == std::string::npos || !ParseByte(address.substr(0, colon), number) ||
      !ParseByte(address.substr(colon + 1), target)) {
    std::fprintf(stderr, "vxtsim: fail needs CONTROLLER:TARGET, got \"%s\"\n", address.c_str());
    return 2;
  }
  Controller* ctl = state.FindController(number);
  if (!ctl) {
    std::fprintf(stderr, "vxtsim: no controller %u\n", number);
    return 2;
  }
  std::string what;
  if (PhysDisk* pd = PhysDiskAtTarget(*ctl, target)) {
    FailPhysDisk(*ctl, pd->num);
    what = "physical disk " + std::to_string(pd->num.value);
  } else if (Device* disk = DiskAt(*ctl, 0, static_cast<uint8_t>(target))) {
    disk->not_ready = true;
    what = "disk";
  } else {
    std::fprintf(stderr, "vxtsim: no disk at target %u of controller %u\n", target, number);
    return 2;
  }
  try {
    SaveState(state_path, WriteModel(state));
  } catch (const LabError& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    return 2;
  }
  std::printf("vxtsim: %s at target %u of controller %u failed\n", what.c_str(), target, number);
  return 0;
}

}  // namespace vxtsim
