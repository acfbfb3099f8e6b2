#include "sas_topology.h"

#include <string>

namespace vxtsim {

namespace {

std::vector<SasNode> Handles(const json& list, uint16_t first) {
  std::vector<SasNode> nodes;
  for (size_t i = 0; i < list.size(); ++i) {
    nodes.push_back({static_cast<uint16_t>(Num(list[i], "handle", first + i)), &list[i], i});
  }
  return nodes;
}

}  // namespace

std::vector<SasNode> SasDevices(const json& ctl) { return Handles(List(ctl, "devices"), 9); }
std::vector<SasNode> SasEnclosures(const json& ctl) { return Handles(List(ctl, "enclosures"), 1); }

const SasNode* FindByHandle(const std::vector<SasNode>& nodes, uint16_t handle) {
  for (const SasNode& n : nodes) {
    if (n.handle == handle) return &n;
  }
  return nullptr;
}

const SasNode* NextAfter(const std::vector<SasNode>& nodes, const json& overrides,
                         uint16_t handle) {
  const json& bent = Member(overrides, std::to_string(handle).c_str());
  if (!bent.is_null()) {
    uint64_t to = ToNum(bent, "walk override");
    return to == 0xFFFF ? nullptr : FindByHandle(nodes, static_cast<uint16_t>(to));
  }
  const SasNode* best = nullptr;
  for (const SasNode& n : nodes) {
    if (handle != 0xFFFF && n.handle <= handle) continue;
    if (!best || n.handle < best->handle) best = &n;
  }
  return best;
}

const SasNode* ResolveSasDeviceAddress(const json& ctl, const std::vector<SasNode>& devices,
                                       uint32_t address) {
  switch (address >> 28) {
    case 0:
      if (address > 0xFFFF) return nullptr;
      return NextAfter(devices, Member(ctl, "device_walk"), static_cast<uint16_t>(address));
    case 1: {
      if (address & 0x0FFF0000) return nullptr;
      uint32_t bus = (address >> 8) & 0xFF, target = address & 0xFF;
      for (const SasNode& n : devices) {
        const json& dev = *n.item;
        if (!Member(dev, "target").is_null() && Num(dev, "target", 0) == target &&
            Num(dev, "bus", 0) == bus) {
          return &n;
        }
      }
      return nullptr;
    }
    case 2:
      if (address & 0x0FFF0000) return nullptr;
      return FindByHandle(devices, static_cast<uint16_t>(address));
    default:
      return nullptr;
  }
}

uint32_t DeviceInfo(const json& dev) {
  std::string kind = Text(dev, "kind", "disk");
  bool direct = Flag(dev, "direct", Member(dev, "parent").is_null());
  uint32_t info = direct ? 0x800 : 0;
  if (kind == "expander") {
    info |= 0x2;
  } else if (Text(dev, "protocol", "sas") == "sata") {
    info |= 0x81;
  } else {
    info |= 0x401;
  }
  return static_cast<uint32_t>(Num(dev, "device_info", info));
}

}  // namespace vxtsim
