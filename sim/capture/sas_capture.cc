// The SAS side: the enclosure walk with the status word of every slot, and
// the device walk. A walk the firmware hands out in another order than the
// lab's default (ascending handles) is written down step by step.
#include <algorithm>

#include "capture.h"
#include "lab_text.h"
#include "vxt/page_readers.h"
#include "vxt/page_walk.h"
#include "vxt/pages.h"
#include "vxt/raid_action.h"

namespace capture {

namespace {

constexpr uint16_t kDeviceTypeMask = 0x7;
constexpr uint16_t kEdgeExpander = 2;
constexpr uint16_t kFanoutExpander = 3;
// More slots than any enclosure holds: a page claiming them is not believed.
constexpr unsigned kMostSlots = 256;

// The walk as a map from each handle to the next, or not given when the
// lab's default order (ascending handles over every instance) gives the same
// sequence.
vxtsim::Walk WalkOverrides(const std::vector<uint16_t>& handles, bool others = false) {
  vxtsim::Walk walk;
  bool ascending = !others;
  for (size_t i = 1; i < handles.size(); ++i) ascending = ascending && handles[i - 1] < handles[i];
  if (ascending) return walk;
  walk.given = true;
  uint16_t after = kStartHandle;
  for (uint16_t h : handles) {
    walk.next[after] = h;
    after = h;
  }
  walk.next[after] = kStartHandle;
  return walk;
}

void CaptureSlots(ControllerCapture& cc, vxtsim::Enclosure& enc) {
  uint16_t handle = enc.handle;
  uint16_t first = enc.start_slot;
  unsigned count = enc.num_slots;
  if (count > kMostSlots) {
    cc.Note("enclosure " + std::to_string(handle) + ": " + std::to_string(count) +
            " slots claimed; the status of the first " + std::to_string(kMostSlots) + " read");
    count = kMostSlots;
  }
  unsigned failed = 0;
  RequestStatus last;  // of the last slot read, as the note reports it
  for (unsigned s = first; s < first + count && s <= 0xFFFF; ++s) {
    uint32_t word = 0;
    if (VxtSEPMessage(cc.c, kSepActionReadStatus, 0, 0, handle, static_cast<uint16_t>(s),
                      kSepFlagsEnclosureSlot, &word, &last)) {
      SetHex(enc.slot_status[static_cast<uint16_t>(s)], word, 8);
      enc.slot_status_given = true;
    } else {
      ++failed;
    }
  }
  if (failed) {
    cc.Note("enclosure " + std::to_string(handle) + ": the status of " + Counted(failed, "slot") +
            " could not be read (" + WhyFailed(last) + ")");
  }
}

vxtsim::Enclosure EnclosureFromPage(ConstBytes page) {
  vxtsim::Enclosure enc;
  enc.handle = SasEnclosurePg0EnclosureHandle(page);
  SetHex(enc.logical_id,
         uint64_t{SasEnclosurePg0LogicalIDHigh(page)} << 32 | SasEnclosurePg0LogicalIDLow(page),
         16);
  enc.num_slots = SasEnclosurePg0NumSlots(page);
  enc.start_slot = SasEnclosurePg0StartSlot(page);
  enc.start_target = SasEnclosurePg0StartTargetID(page);
  enc.start_bus = SasEnclosurePg0StartBus(page);
  return enc;
}

vxtsim::Device DeviceFromPage(ConstBytes page) {
  uint32_t info = SasDevicePg0DeviceInfo(page);
  uint16_t type = info & kDeviceTypeMask;
  bool expander = type == kEdgeExpander || type == kFanoutExpander;
  bool sata = info & kDeviceInfoSata;
  vxtsim::Device dev;
  dev.handle = SasDevicePg0DevHandle(page);
  if (expander) dev.kind = vxtsim::DeviceKind::kExpander;
  if (SasDevicePg0TargetID(page) != 0xFF || !expander) dev.target = SasDevicePg0TargetID(page);
  if (SasDevicePg0Bus(page)) dev.bus = SasDevicePg0Bus(page);
  if (!expander) dev.protocol = sata ? vxtsim::Protocol::kSata : vxtsim::Protocol::kSas;
  dev.enclosure = SasDevicePg0EnclosureHandle(page);
  dev.slot = SasDevicePg0Slot(page);
  uint16_t parent = SasDevicePg0ParentDevHandle(page);
  if (parent) dev.parent = parent;
  dev.phy = SasDevicePg0PhyNum(page);
  SetHex(dev.sas_address,
         uint64_t{SasDevicePg0SasAddressHigh(page)} << 32 | SasDevicePg0SasAddressLow(page), 16);
  // The lab derives the word from the kind, the protocol and the parent.
  uint32_t implied =
      (parent ? 0 : kDeviceInfoDirectAttach) | (expander ? 0x2
                                                : sata   ? kDeviceInfoSata | kDeviceInfoEndDevice
                                                         : kDeviceInfoSsp | kDeviceInfoEndDevice);
  if (info != implied) SetHex(dev.device_info, info, 8);
  return dev;
}

// Parents the walk did not hand out are still read by their handle, as
// volkit does when it follows a device's way to the controller. False when
// one was added.
bool AddUnwalkedParents(ControllerCapture& cc, std::vector<uint16_t>& walked) {
  std::vector<vxtsim::Device>& list = cc.ctl.devices;
  std::vector<uint16_t> known = walked;
  bool added = false;
  for (size_t i = 0; i < list.size(); ++i) {
    uint16_t parent = list[i].parent;
    if (parent == 0 || std::find(known.begin(), known.end(), parent) != known.end()) continue;
    known.push_back(parent);
    PageBuffer page;
    RequestStatus status;
    if (!ReadSasDevicePg0(cc.c, SasAddressHandle(parent), &page, &status)) {
      cc.Note("device " + std::to_string(parent) +
              ": a parent the walk did not hand out, and "
              "it could not be read by its handle (" +
              WhyFailed(status) + ")");
      continue;
    }
    list.push_back(DeviceFromPage(page));
    added = true;
  }
  return !added;
}

}  // namespace

bool CaptureSas(ControllerCapture& cc) {
  std::vector<uint16_t> handles;
  RequestStatus status;
  if (cc.has_enclosure_pages) {
    std::vector<vxtsim::Enclosure>& list = cc.ctl.enclosures;
    int walked = WalkExtendedPages(
        cc.c, kExtPageTypeSasEnclosure, SasEnclosurePg0EnclosureHandle,
        [&](ConstBytes page) {
          list.push_back(EnclosureFromPage(page));
          handles.push_back(SasEnclosurePg0EnclosureHandle(page));
        },
        &status);
    if (!walked) return cc.Fail("the enclosure walk failed (" + WhyFailed(status) + ")");
    cc.ctl.enclosure_walk = WalkOverrides(handles);
    for (vxtsim::Enclosure& enc : list) CaptureSlots(cc, enc);
  }
  if (cc.has_device_pages) {
    handles.clear();
    std::vector<vxtsim::Device>& list = cc.ctl.devices;
    int walked = WalkExtendedPages(
        cc.c, kExtPageTypeSasDevice, SasDevicePg0DevHandle,
        [&](ConstBytes page) {
          list.push_back(DeviceFromPage(page));
          handles.push_back(SasDevicePg0DevHandle(page));
        },
        &status);
    if (!walked) return cc.Fail("the device walk failed (" + WhyFailed(status) + ")");
    bool all_walked = AddUnwalkedParents(cc, handles);
    cc.ctl.device_walk = WalkOverrides(handles, !all_walked);
  }
  return true;
}

}  // namespace capture
