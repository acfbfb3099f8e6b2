#include "layout/layout_write.h"

#include <nlohmann/json.hpp>

#include "layout/layout_document.h"
#include "layout/layout_places.h"

namespace {

using nlohmann::ordered_json;

constexpr uint64_t kBlocksPerMB = 2048;

ordered_json Disk(const ControllerSnapshot& s, uint8_t target) {
  std::string place = PlaceText(PlaceOfTarget(s, target));
  const DeviceSnapshot* d = DeviceAtTarget(s, target);
  if (d == nullptr || !d->Serial) return place;
  return {{"disk", place}, {"serial", *d->Serial}};
}

ordered_json Controller(const ControllerSnapshot& s) {
  ordered_json c;
  c["controller"] = s.Controller;
  c["volumes"] = ordered_json::array();
  for (const VolumeSnapshot& v : s.Volumes) {
    ordered_json volume;
    volume["type"] = LayoutTypeWord(v.Type);
    volume["disks"] = ordered_json::array();
    for (const RaidDiskSnapshot& m : v.Members) {
      if (m.Target) volume["disks"].push_back(Disk(s, *m.Target));
    }
    volume["size_mb"] = v.SizeBlocks / kBlocksPerMB;
    volume["qsync"] = false;
    c["volumes"].push_back(volume);
  }
  c["hot_spares"] = ordered_json::array();
  for (const RaidDiskSnapshot& spare : s.HotSpares) {
    if (spare.Target) c["hot_spares"].push_back(Disk(s, *spare.Target));
  }
  c["prune"] = false;
  return c;
}

}  // namespace

std::string LayoutJson(const std::vector<ControllerSnapshot>& controllers) {
  ordered_json doc;
  doc["volkit_layout_version"] = {kLayoutMajorVersion, kLayoutMinorVersion};
  doc["controllers"] = ordered_json::array();
  for (const ControllerSnapshot& s : controllers) doc["controllers"].push_back(Controller(s));
  return doc.dump(2, ' ', true, ordered_json::error_handler_t::replace) + "\n";
}
