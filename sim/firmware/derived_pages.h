// Builders of the pages that are derived from the RAID configuration, the
// devices and the enclosures of a controller.
#pragma once

#include "firmware/page_table.h"

namespace vxtsim {

uint16_t BuildIocPg2(const PageRequest& req, Bytes& page);
uint16_t BuildIocPg3(const PageRequest& req, Bytes& page);
uint16_t BuildIocPg5(const PageRequest& req, Bytes& page);
uint16_t BuildRaidVolPg0(const PageRequest& req, Bytes& page);
uint16_t BuildRaidVolPg1(const PageRequest& req, Bytes& page);
uint16_t BuildRaidPhysDiskPg0(const PageRequest& req, Bytes& page);
uint16_t BuildSasDevicePg0(const PageRequest& req, Bytes& page);
uint16_t BuildSasEnclosurePg0(const PageRequest& req, Bytes& page);

uint16_t IocPg2Length(const Controller& ctl);
uint16_t IocPg3Length(const Controller& ctl);
uint16_t IocPg5Length(const Controller& ctl);
uint16_t RaidVolPg0Length(const Controller& ctl);

}  // namespace vxtsim
