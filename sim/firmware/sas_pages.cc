#include "firmware/derived_pages.h"
#include "firmware/layouts.h"
#include "firmware/page_image.h"
#include "firmware/sas_topology.h"
#include "model/model.h"
#include "model/protocol.h"

namespace vxtsim {

uint16_t BuildSasDevicePg0(const PageRequest& req, Bytes& page) {
  const Device* dev = ResolveSasDeviceAddress(req.controller, req.address);
  if (!dev) return kStatusConfigInvalidPage;
  namespace P = layout::sas_device_pg0;
  Put16(page, P::kSlot, dev->slot);
  Put16(page, P::kEnclosureHandle, dev->enclosure);
  Put64(page, P::kSasAddress, dev->sas_address);
  Put16(page, P::kParentDevHandle, dev->parent);
  Put8(page, P::kPhyNum, dev->phy);
  Put16(page, P::kDevHandle, dev->handle);
  Put8(page, P::kTargetId, dev->HasTarget() ? dev->target.value : P::kNoTarget);
  Put8(page, P::kBus, dev->bus);
  Put32(page, P::kDeviceInfo, dev->device_info);
  ApplyPatches(dev->page_bytes, page);
  return kStatusSuccess;
}

uint16_t BuildSasEnclosurePg0(const PageRequest& req, Bytes& page) {
  if (req.address > 0xFFFF) return kStatusConfigInvalidPage;
  const Enclosure* enc = NextAfter(req.controller.enclosures, req.controller.enclosure_walk,
                                   static_cast<uint16_t>(req.address));
  if (!enc) return kStatusConfigInvalidPage;
  namespace P = layout::sas_enclosure_pg0;
  Put64(page, P::kEnclosureLogicalId, enc->logical_id);
  Put16(page, P::kEnclosureHandle, enc->handle);
  Put16(page, P::kNumSlots, enc->num_slots);
  Put16(page, P::kStartSlot, enc->start_slot);
  Put8(page, P::kStartTargetId, enc->start_target);
  Put8(page, P::kStartBus, enc->start_bus);
  ApplyPatches(enc->page_bytes, page);
  return kStatusSuccess;
}

}  // namespace vxtsim
