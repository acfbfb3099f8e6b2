// One reader per configuration page volkit reads: the header phase, then the
// data phase, of the current values unless the name says otherwise.  The
// fields of each page are named in pages.h.
//
// Result convention of config_page.h: 1 success with the whole page in
// `page`, header included; 0 failure.
#pragma once

#include <cstdint>

#include "vxt/config_page.h"

int ReadIoUnitPg1(ControllerInfo* controller, PageBuffer* page);
// The value stored in NVRAM, which a write to NVRAM replaces.
int ReadIoUnitPg1Nvram(ControllerInfo* controller, PageBuffer* page);
int ReadIoUnitPg2(ControllerInfo* controller, PageBuffer* page);

int ReadIocPg1(ControllerInfo* controller, PageBuffer* page);
int ReadIocPg2(ControllerInfo* controller, PageBuffer* page);
int ReadIocPg3(ControllerInfo* controller, PageBuffer* page);
int ReadIocPg5(ControllerInfo* controller, PageBuffer* page);
int ReadIocPg6(ControllerInfo* controller, PageBuffer* page);

int ReadBiosPg2(ControllerInfo* controller, PageBuffer* page);
int ReadScsiPortPg2(ControllerInfo* controller, PageBuffer* page);
int ReadManufacturingPg4(ControllerInfo* controller, PageBuffer* page);

// `volume_address` is RaidVolumeAddress(bus, volume ID); a bare volume ID
// names a volume on bus 0.
int ReadRaidVolPg0(ControllerInfo* controller, uint32_t volume_address, PageBuffer* page);
int ReadRaidVolPg1(ControllerInfo* controller, uint32_t volume_address, PageBuffer* page);

int ReadRaidPhysDiskPg0(ControllerInfo* controller, uint8_t phys_disk_num, PageBuffer* page);

// The current SasDevicePg0 at `page_address` (bus and target, or handle form);
// how its last request ended in `status` when given.
int ReadSasDevicePg0(ControllerInfo* controller, uint32_t page_address, PageBuffer* page,
                     RequestStatus* status = nullptr);
