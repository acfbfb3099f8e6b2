#include "controller.h"
#include "derived_pages.h"
#include "page_image.h"
#include "protocol.h"
#include "sas_topology.h"

namespace vxtsim {

uint16_t BuildSasDevicePg0(const PageRequest& req, Bytes& page) {
  std::vector<SasNode> devices = SasDevices(req.controller);
  const SasNode* node = ResolveSasDeviceAddress(req.controller, devices, req.address);
  if (!node) return kStatusConfigInvalidPage;
  const json& dev = *node->item;
  uint64_t address_fallback = 0x50000D1000000000ull |
                              uint64_t{IocNumber(req.controller)} << 24 | node->handle;
  Put16(page, 8, Num(dev, "slot", 0));
  Put16(page, 10, Num(dev, "enclosure", 0));
  Put64(page, 12, Num(dev, "sas_address", address_fallback));
  Put16(page, 20, Num(dev, "parent", 0));
  Put8(page, 22, Num(dev, "phy", node->index));
  Put16(page, 24, node->handle);
  Put8(page, 26, Num(dev, "target", 0xFF));
  Put8(page, 27, Num(dev, "bus", 0));
  Put32(page, 28, DeviceInfo(dev));
  ApplyPatches(Member(dev, "page_bytes"), page);
  return kStatusSuccess;
}

uint16_t BuildSasEnclosurePg0(const PageRequest& req, Bytes& page) {
  if (req.address > 0xFFFF) return kStatusConfigInvalidPage;
  std::vector<SasNode> enclosures = SasEnclosures(req.controller);
  const SasNode* node = NextAfter(enclosures, Member(req.controller, "enclosure_walk"),
                                  static_cast<uint16_t>(req.address));
  if (!node) return kStatusConfigInvalidPage;
  const json& enc = *node->item;
  Put64(page, 12, Num(enc, "logical_id", 0x50000D1E00000000ull | node->handle));
  Put16(page, 22, node->handle);
  Put16(page, 24, Num(enc, "num_slots", 8));
  Put16(page, 26, Num(enc, "start_slot", 0));
  Put8(page, 28, Num(enc, "start_target", 0));
  Put8(page, 29, Num(enc, "start_bus", 0));
  ApplyPatches(Member(enc, "page_bytes"), page);
  return kStatusSuccess;
}

}  // namespace vxtsim
