#include "show.h"

#include "model/controller.h"
#include "model/raid_config.h"

namespace vxtsim {

namespace {

const char* VolumeTypeName(uint8_t type) {
  switch (type) {
    case kVolumeIS: return "IS";
    case kVolumeIME: return "IME";
    case kVolumeIM: return "IM";
    default: return "?";
  }
}

void PrintController(const json& ctl, FILE* out) {
  size_t spares = 0;
  for (const json& pd : PhysDisks(ctl)) spares += IsHotSpare(ctl, pd) ? 1 : 0;
  std::fprintf(out,
               "controller %u: %s, PCI device 0x%04x, %zu devices, %zu enclosures, "
               "%zu volumes, %zu physical disks, %zu hot spares%s\n",
               static_cast<unsigned>(Num(ctl, "number", 0)), IsSasController(ctl) ? "SAS" : "SCSI",
               static_cast<unsigned>(Num(Member(ctl, "pci"), "device_id", 0x54)),
               List(ctl, "devices").size(), List(ctl, "enclosures").size(), Volumes(ctl).size(),
               PhysDisks(ctl).size(), spares, IrDisabled(ctl) ? ", IR disabled" : "");
  for (const json& vol : Volumes(ctl)) {
    std::fprintf(out, "  volume %u", VolumeId(vol));
    if (VolumeBus(vol)) std::fprintf(out, " (bus %u)", VolumeBus(vol));
    std::fprintf(out, ": %s, %llu blocks, state %u, members",
                 VolumeTypeName(VolumeType(vol)),
                 static_cast<unsigned long long>(VolumeMaxLba(ctl, vol) + 1),
                 static_cast<unsigned>(Num(vol, "state", 0)));
    for (const VolumeMember& m : VolumeMembers(vol)) std::fprintf(out, " %u", m.num);
    if (VolumeResyncing(vol)) {
      const json& r = Member(vol, "resync");
      std::fprintf(out, ", resync %llu of %llu blocks left",
                   static_cast<unsigned long long>(Num(r, "remaining", 0)),
                   static_cast<unsigned long long>(Num(r, "total", 0)));
    }
    std::fprintf(out, "\n");
  }
  for (const json& pd : PhysDisks(ctl)) {
    std::fprintf(out, "  physical disk %u: target %u", PhysDiskNum(pd),
                 static_cast<unsigned>(Num(pd, "target", 0)));
    if (Num(pd, "bus", 0)) std::fprintf(out, " (bus %u)", static_cast<unsigned>(Num(pd, "bus", 0)));
    std::fprintf(out, ", %s, state %u%s\n",
                 IsHotSpare(ctl, pd)                 ? "hot spare"
                 : IsVolumeMember(ctl, PhysDiskNum(pd)) ? "volume member"
                                                       : "in no volume",
                 static_cast<unsigned>(Num(pd, "state", 0)),
                 Num(pd, "status_flags", 0) == 1 ? ", out of sync" : "");
  }
}

}  // namespace

void PrintSummary(const json& state, const std::string& path, FILE* out) {
  const json& node = Member(state, "node");
  std::fprintf(out, "state: %s\n", path.c_str());
  std::fprintf(out, "node /dev/vxtctl: %s, %s, driver %s\n",
               Flag(node, "exists", true) ? "present" : "absent",
               Flag(node, "creatable", true) ? "may be created" : "may not be created",
               Flag(node, "driver_loaded", true) ? "loaded" : "not loaded");
  for (const json& ctl : List(state, "controllers")) PrintController(ctl, out);
  const json& faults = List(state, "faults");
  if (!faults.empty()) {
    std::fprintf(out, "fault rules: %zu (hits:", faults.size());
    for (const json& rule : faults) std::fprintf(out, " %llu", static_cast<unsigned long long>(Num(rule, "hits", 0)));
    std::fprintf(out, ")\n");
  }
}

}  // namespace vxtsim
