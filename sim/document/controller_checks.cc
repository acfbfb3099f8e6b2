// The checks of a controller that no single key shows.
#include <algorithm>

#include "document/record_readers.h"

namespace vxtsim::doc {

std::string Named(const char* what, uint32_t n) {
  return std::string(what) + " " + std::to_string(n);
}

namespace {

void CheckTopology(Problems& p, const std::string& path, const Controller& c) {
  Unique(
      p, path + ".devices", c.devices,
      [](const Device& d) { return std::optional<uint32_t>(d.handle.value); },
      [](uint32_t k) { return Named("handle", k); });
  for (size_t i = 0; i < c.devices.size(); ++i) {
    if (c.devices[i].handle.value == 0xFFFF)
      p.Add(Index(path + ".devices", i), "handle 65535 is reserved");
  }
  Unique(
      p, path + ".devices", c.devices,
      [](const Device& d) {
        return d.HasTarget() ? std::optional<uint32_t>(d.bus.value * 256u + d.target.value)
                             : std::nullopt;
      },
      [](uint32_t k) { return Named("target", k & 0xFF) + " on bus " + std::to_string(k >> 8); });
  Unique(
      p, path + ".enclosures", c.enclosures,
      [](const Enclosure& e) { return std::optional<uint32_t>(e.handle.value); },
      [](uint32_t k) { return Named("handle", k); });
  for (size_t i = 0; i < c.enclosures.size(); ++i) {
    if (c.enclosures[i].handle.value == 0xFFFF)
      p.Add(Index(path + ".enclosures", i), "handle 65535 is reserved");
  }
}

void CheckRaid(Problems& p, const std::string& path, const Controller& c) {
  std::string raid = path + ".raid";
  Unique(
      p, raid + ".phys_disks", c.raid.phys_disks,
      [](const PhysDisk& pd) { return std::optional<uint32_t>(pd.num.value); },
      [](uint32_t k) { return Named("num", k); });
  Unique(
      p, raid + ".volumes", c.raid.volumes,
      [](const Volume& v) { return std::optional<uint32_t>(v.bus.value * 256u + v.id.value); },
      [](uint32_t k) { return Named("id", k & 0xFF) + " on bus " + std::to_string(k >> 8); });
  for (size_t v = 0; v < c.raid.volumes.size(); ++v) {
    const std::vector<VolumeMember>& members = c.raid.volumes[v].members;
    for (size_t m = 0; m < members.size(); ++m) {
      bool known = std::any_of(c.raid.phys_disks.begin(), c.raid.phys_disks.end(),
                               [&](const PhysDisk& pd) { return pd.num.value == members[m].num; });
      if (!known) {
        p.Add(Index(Index(raid + ".volumes", v) + ".members", m),
              "no physical disk has num " + std::to_string(members[m].num));
      }
    }
  }
}

}  // namespace

void CheckController(Problems& p, const std::string& path, const Controller& c) {
  CheckTopology(p, path, c);
  CheckRaid(p, path, c);
}

}  // namespace vxtsim::doc
