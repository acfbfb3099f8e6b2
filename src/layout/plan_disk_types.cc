#include "layout/plan_disk_types.h"

#include "layout/layout_places.h"

namespace {

struct Kind {
  bool Known = false;
  bool Sata = false;
  bool Ssd = false;
};

Kind KindOf(const ControllerSnapshot& s, uint8_t target) {
  const DeviceSnapshot* d = DeviceAtTarget(s, target);
  if (d == nullptr || !d->Ssd) return {};
  return {true, d->Protocol == "sata", *d->Ssd};
}

}  // namespace

std::string CreateMixProblem(const ControllerSnapshot& s, const PlanLimits& limits,
                             const PlanAction& create) {
  if (!s.Sas) return "";
  bool ssd = false, rotating = false, sas = false, sata = false;
  for (const PlanDisk& d : create.Disks) {
    Kind k = KindOf(s, d.Target);
    if (!k.Known) return "";
    (k.Ssd ? ssd : rotating) = true;
    (k.Sata ? sata : sas) = true;
  }
  if (ssd && rotating) return "the disks are a mix of SSD and non SSD drives";
  if (sas && sata && !(ssd && limits.SsdMixAllowed))
    return "the disks are a mix of SAS and SATA drives";
  return "";
}

std::string SpareTypeProblem(const ControllerSnapshot& s, const PlanLimits& limits, uint8_t target,
                             const std::vector<uint8_t>& mirror_firsts) {
  if (!s.Sas) return "";
  Kind spare = KindOf(s, target);
  if (!spare.Known) return "";
  for (uint8_t first : mirror_firsts) {
    Kind member = KindOf(s, first);
    if (!member.Known) return "";
    if (spare.Ssd != member.Ssd) continue;
    if ((spare.Ssd && limits.SsdMixAllowed) || spare.Sata == member.Sata) return "";
  }
  return "its interface or medium matches no mirror's disks";
}
