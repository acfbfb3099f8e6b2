#include "cli/drive_table.h"

#include <bitset>
#include <memory>

#include "vxt/pages.h"
#include "vxt/vxt_util.h"

namespace {

// Walks a next-after-handle page chain, calling `visit` with each page.  The
// walk ends at the first failed read, which is how the firmware says there
// is no further instance, or at a handle already seen, so that a firmware
// that hands out a handle twice cannot keep us walking forever.
template <typename Visit>
void WalkHandles(ControllerInfo* c, uint8_t ext_page_type, uint16_t (*next_handle)(ConstBytes),
                 Visit visit) {
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint32_t handle = kStartHandle;
  for (;;) {
    PageBuffer page;
    if (!VxtConfigReadExtendedPage(c, kPageActionReadCurrent, ext_page_type, 0,
                                   SasAddressNextAfter(static_cast<uint16_t>(handle)), &page)) {
      return;
    }
    uint16_t next = next_handle(page);
    if (seen->test(next)) return;
    seen->set(next);
    visit(ConstBytes(page));
    handle = next;
  }
}

}  // namespace

int EnumerateSasDevices(ControllerInfo* c, DeviceTable* table) {
  table->clear();
  WalkHandles(c, kExtPageTypeSasDevice, SasDevicePg0DevHandle, [&](ConstBytes page) {
    uint32_t info = SasDevicePg0DeviceInfo(page);
    if ((info & kDeviceInfoEndDevice) && (info & (kDeviceInfoSata | kDeviceInfoSsp))) {
      table->push_back({SasDevicePg0DevHandle(page), SasDevicePg0TargetID(page),
                        SasDevicePg0Slot(page), SasDevicePg0Bus(page),
                        SasDevicePg0EnclosureHandle(page)});
    }
  });
  return static_cast<int>(table->size());
}

int EnumerateEnclosures(ControllerInfo* c, EnclosureList* list) {
  list->clear();
  WalkHandles(c, kExtPageTypeSasEnclosure, SasEnclosurePg0EnclosureHandle,
              [&](ConstBytes page) { list->push_back(SasEnclosurePg0EnclosureHandle(page)); });
  return static_cast<int>(list->size());
}

int CountDevicesInSlot(const DeviceTable& table, uint16_t enclosure_handle, uint16_t slot,
                       const DeviceEntry** found) {
  int count = 0;
  if (found != nullptr) *found = nullptr;
  for (const DeviceEntry& d : table) {
    if (d.Slot != slot || d.EnclosureHandle != enclosure_handle) continue;
    if (++count == 1 && found != nullptr) *found = &d;
    if (count == 2) break;
  }
  return count;
}
