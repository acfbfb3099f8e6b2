#include "show.h"

#include <string>

#include "firmware/controller.h"
#include "firmware/firmware.h"
#include "firmware/raid_config.h"

namespace vxtsim {

namespace {

const char* VolumeTypeName(uint8_t type) {
  switch (type) {
    case kVolumeIS:
      return "IS";
    case kVolumeIME:
      return "IME";
    case kVolumeIM:
      return "IM";
    default:
      return "?";
  }
}

void PrintLitSlots(const Controller& ctl, FILE* out) {
  for (const Enclosure& enc : ctl.enclosures) {
    std::string slots;
    size_t lit = 0;
    for (const auto& [slot, word] : enc.slot_status) {
      if (!LocateLedLit(enc, slot)) continue;
      slots += ' ';
      slots += std::to_string(slot);
      ++lit;
    }
    if (lit == 0) continue;
    std::fprintf(out, "  enclosure %u: locate LED lit in slot%s%s\n",
                 static_cast<unsigned>(enc.handle), lit > 1 ? "s" : "", slots.c_str());
  }
}

void PrintController(const Controller& ctl, FILE* out) {
  std::fprintf(out,
               "controller %u: %s, PCI device 0x%04x, %zu devices, %zu enclosures, "
               "%zu volumes, %zu physical disks, %zu hot spares%s\n",
               static_cast<unsigned>(ctl.number), ctl.sas ? "SAS" : "SCSI",
               static_cast<unsigned>(ctl.pci.device_id), ctl.devices.size(), ctl.enclosures.size(),
               ctl.raid.volumes.size(), ctl.raid.phys_disks.size(), HotSpareCount(ctl),
               IrDisabled(ctl) ? ", IR disabled" : "");
  for (const Volume& vol : ctl.raid.volumes) {
    std::fprintf(out, "  volume %u", static_cast<unsigned>(vol.id));
    if (vol.bus) std::fprintf(out, " (bus %u)", static_cast<unsigned>(vol.bus));
    std::fprintf(out, ": %s, %llu blocks, state %u", VolumeTypeName(vol.type),
                 static_cast<unsigned long long>(VolumeMaxLba(ctl, vol)) + 1,
                 static_cast<unsigned>(vol.state));
    if (vol.inactive) std::fprintf(out, ", inactive");
    std::fprintf(out, ", members");
    for (const VolumeMember& m : vol.members) std::fprintf(out, " %u", m.num);
    if (vol.Resyncing()) {
      std::fprintf(out, ", resync %llu of %llu blocks left",
                   static_cast<unsigned long long>(vol.resync.remaining.value),
                   static_cast<unsigned long long>(vol.resync.total.value));
    }
    std::fprintf(out, "\n");
  }
  for (const PhysDisk& pd : ctl.raid.phys_disks) {
    std::fprintf(out, "  physical disk %u: target %u", static_cast<unsigned>(pd.num),
                 static_cast<unsigned>(pd.target));
    if (pd.bus) std::fprintf(out, " (bus %u)", static_cast<unsigned>(pd.bus));
    std::fprintf(out, ", %s, state %u%s%s\n",
                 IsHotSpare(ctl, pd)           ? "hot spare"
                 : IsVolumeMember(ctl, pd.num) ? "volume member"
                                               : "in no volume",
                 static_cast<unsigned>(pd.state),
                 pd.status_flags == kDiskOutOfSync ? ", out of sync" : "",
                 pd.failed ? ", failed" : "");
  }
  PrintLitSlots(ctl, out);
}

}  // namespace

void PrintSummary(const Model& state, const std::string& path, FILE* out) {
  const NodeState& node = state.node;
  std::fprintf(out, "state: %s\n", path.c_str());
  std::fprintf(out, "node /dev/vxtctl: %s, %s, driver %s\n", node.exists ? "present" : "absent",
               node.creatable ? "may be created" : "may not be created",
               node.driver_loaded ? "loaded" : "not loaded");
  for (const Controller& ctl : state.controllers) PrintController(ctl, out);
  if (!state.faults.empty()) {
    std::fprintf(out, "fault rules: %zu (hits:", state.faults.size());
    for (const FaultRule& rule : state.faults) {
      std::fprintf(out, " %llu", static_cast<unsigned long long>(rule.hits.value));
    }
    std::fprintf(out, ")\n");
  }
}

}  // namespace vxtsim
