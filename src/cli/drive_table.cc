#include "cli/drive_table.h"

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
