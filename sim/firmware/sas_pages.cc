#include "driver/protocol.h"
#include "firmware/derived_pages.h"
#include "firmware/model.h"
#include "firmware/page_image.h"
#include "firmware/sas_topology.h"

namespace vxtsim {

uint16_t BuildSasDevicePg0(const PageRequest& req, Bytes& page) {
  const Device* dev = ResolveSasDeviceAddress(req.controller, req.address);
  if (!dev) return kStatusConfigInvalidPage;
  Put16(page, 8, dev->slot);
  Put16(page, 10, dev->enclosure);
  Put64(page, 12, dev->sas_address);
  Put16(page, 20, dev->parent);
  Put8(page, 22, dev->phy);
  Put16(page, 24, dev->handle);
  Put8(page, 26, dev->HasTarget() ? dev->target.value : 0xFF);
  Put8(page, 27, dev->bus);
  Put32(page, 28, dev->device_info);
  ApplyPatches(dev->page_bytes, page);
  return kStatusSuccess;
}

uint16_t BuildSasEnclosurePg0(const PageRequest& req, Bytes& page) {
  if (req.address > 0xFFFF) return kStatusConfigInvalidPage;
  const Enclosure* enc = NextAfter(req.controller.enclosures, req.controller.enclosure_walk,
                                   static_cast<uint16_t>(req.address));
  if (!enc) return kStatusConfigInvalidPage;
  Put64(page, 12, enc->logical_id);
  Put16(page, 22, enc->handle);
  Put16(page, 24, enc->num_slots);
  Put16(page, 26, enc->start_slot);
  Put8(page, 28, enc->start_target);
  Put8(page, 29, enc->start_bus);
  ApplyPatches(enc->page_bytes, page);
  return kStatusSuccess;
}

}  // namespace vxtsim
