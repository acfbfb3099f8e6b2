#include "vxt/page_readers.h"

#include "vxt/pages.h"

namespace {

int ReadCurrent(ControllerInfo* c, uint8_t type, uint8_t number, uint32_t address,
                PageBuffer* page) {
  return VxtConfigReadPage(c, kPageActionReadCurrent, type, number, address, page);
}

}  // namespace

int ReadIoUnitPg1(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoUnit, 1, 0, page);
}
int ReadIoUnitPg1Nvram(ControllerInfo* c, PageBuffer* page) {
  return VxtConfigReadPage(c, kPageActionReadNvram, kPageTypeIoUnit, 1, 0, page);
}
int ReadIoUnitPg2(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoUnit, 2, 0, page);
}

int ReadIocPg1(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoc, 1, 0, page);
}
int ReadIocPg2(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoc, 2, 0, page);
}
int ReadIocPg3(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoc, 3, 0, page);
}
int ReadIocPg5(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoc, 5, 0, page);
}
int ReadIocPg6(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeIoc, 6, 0, page);
}

int ReadBiosPg2(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeBios, 2, 0, page);
}
int ReadScsiPortPg2(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeScsiPort, 2, 0, page);
}
int ReadManufacturingPg4(ControllerInfo* c, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeManufacturing, 4, 0, page);
}

int ReadRaidVolPg0(ControllerInfo* c, uint32_t volume_address, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeRaidVolume, 0, volume_address, page);
}
int ReadRaidVolPg1(ControllerInfo* c, uint32_t volume_address, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeRaidVolume, 1, volume_address, page);
}

int ReadRaidPhysDiskPg0(ControllerInfo* c, uint8_t phys_disk_num, PageBuffer* page) {
  return ReadCurrent(c, kPageTypeRaidPhysDisk, 0, phys_disk_num, page);
}

int ReadSasDevicePg0(ControllerInfo* c, uint32_t page_address, PageBuffer* page,
                     RequestStatus* status) {
  return VxtConfigReadExtendedPage(c, kPageActionReadCurrent, kExtPageTypeSasDevice, 0,
                                   page_address, page, status);
}
