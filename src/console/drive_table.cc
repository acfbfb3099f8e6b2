#include "console/drive_table.h"

#include "vxt/page_walk.h"
#include "vxt/pages.h"

int EnumerateSasDevices(ControllerInfo* c, DeviceTable* table) {
  table->clear();
  WalkExtendedPages(c, kExtPageTypeSasDevice, SasDevicePg0DevHandle, [&](ConstBytes page) {
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
  WalkExtendedPages(
      c, kExtPageTypeSasEnclosure, SasEnclosurePg0EnclosureHandle,
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
