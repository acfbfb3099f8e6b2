#include "fail_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "document/state_file.h"
#include "firmware/raid_config.h"
#include "firmware/scsi_target.h"
#include "raid/member_failure.h"

namespace vxtsim {

namespace {

bool ParseByte(const std::string& text, unsigned& out) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
  return out <= 255;
}

bool DiskWithSerial(const Controller& ctl, const std::string& serial) {
  for (const Device& d : ctl.devices) {
    if (d.serial.value == serial) return true;
  }
  return false;
}

PhysDisk* PhysDiskAtTarget(Controller& ctl, unsigned target) {
  for (PhysDisk& pd : ctl.raid.phys_disks) {
    if (pd.target.value == target && pd.bus.value == 0) return &pd;
  }
  return nullptr;
}

// The controller and target of CONTROLLER:TARGET, or null after the message.
Controller* Address(const char* verb, const std::string& address, Model& state, unsigned* target) {
  size_t colon = address.find(':');
  unsigned number = 0;
  if (colon == std::string::npos || !ParseByte(address.substr(0, colon), number) ||
      !ParseByte(address.substr(colon + 1), *target)) {
    std::fprintf(stderr, "vxtsim: %s needs CONTROLLER:TARGET, got \"%s\"\n", verb, address.c_str());
    return nullptr;
  }
  Controller* ctl = state.FindController(number);
  if (!ctl) std::fprintf(stderr, "vxtsim: no controller %u\n", number);
  return ctl;
}

bool Save(const std::string& state_path, Model& state) {
  try {
    SaveState(state_path, WriteModel(state));
  } catch (const LabError& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    return false;
  }
  return true;
}

bool InSomeVolume(const Controller& ctl, uint8_t num) {
  for (const Volume& v : ctl.raid.volumes) {
    for (const VolumeMember& m : v.members) {
      if (m.num == num) return true;
    }
  }
  return false;
}

}  // namespace

int ReplaceCommand(const std::string& address, const std::string& state_path, Model& state) {
  unsigned target = 0;
  Controller* ctl = Address("replace", address, state, &target);
  if (!ctl) return 2;
  Device* disk = DiskAt(*ctl, 0, static_cast<uint8_t>(target));
  if (!disk) {
    std::fprintf(stderr, "vxtsim: no disk at target %u of controller %u\n", target,
                 static_cast<unsigned>(ctl->number.value));
    return 2;
  }
  std::vector<PhysDisk>& disks = ctl->raid.phys_disks;
  for (const PhysDisk& pd : disks) {
    if (pd.target.value == target && pd.bus.value == 0 && InSomeVolume(*ctl, pd.num.value)) {
      std::fprintf(stderr,
                   "vxtsim: the disk at target %u of controller %u is a volume member; fail it "
                   "first\n",
                   target, static_cast<unsigned>(ctl->number.value));
      return 2;
    }
  }
  // The firmware forgets a disk that is pulled.
  disks.erase(std::remove_if(disks.begin(), disks.end(),
                             [&](const PhysDisk& pd) {
                               return pd.target.value == target && pd.bus.value == 0;
                             }),
              disks.end());
  ctl->raid.given = ctl->raid.phys_disks_given = true;
  // A new disk of the same make: its own serial, nothing on it, ready.
  std::string serial = disk->serial.value.empty() ? "RPL" : disk->serial.value;
  serial = serial.substr(0, serial.size() > 16 ? 16 : serial.size()) + "R";
  for (int n = 2; DiskWithSerial(*ctl, serial); ++n) {
    serial = serial.substr(0, serial.find_last_of('R') + 1) + std::to_string(n);
  }
  disk->serial = serial;
  disk->not_ready = false;
  disk->block_data = {};
  if (!Save(state_path, state)) return 2;
  std::printf(
      "vxtsim: the disk at target %u of controller %u was replaced by a new disk, serial %s\n",
      target, static_cast<unsigned>(ctl->number.value), serial.c_str());
  return 0;
}

int FailCommand(const std::string& address, const std::string& state_path, Model& state) {
  unsigned target = 0;
  Controller* ctl = Address("fail", address, state, &target);
  if (!ctl) return 2;
  const unsigned number = ctl->number.value;
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
  if (!Save(state_path, state)) return 2;
  std::printf("vxtsim: %s at target %u of controller %u failed\n", what.c_str(), target, number);
  return 0;
}

}  // namespace vxtsim
