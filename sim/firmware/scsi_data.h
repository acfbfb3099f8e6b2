// Data a disk returns to SCSI and ATA identification commands.
#pragma once

#include <cstdint>

#include "model/bytes.h"
#include "model/model.h"

namespace vxtsim {

Bytes StandardInquiry(const Device& dev);
// Vital product data page, or false when the disk does not have it.
bool VpdPage(const Device& dev, uint8_t page, Bytes& out);
// A volume answers INQUIRY as a disk of the controller's making.
Bytes VolumeInquiry(const Volume& vol);
// 512 bytes of ATA IDENTIFY DEVICE data.
Bytes AtaIdentifyData(const Device& dev);

}  // namespace vxtsim
