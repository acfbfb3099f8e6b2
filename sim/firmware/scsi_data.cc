#include "firmware/scsi_data.h"

#include <algorithm>

#include "firmware/page_image.h"
#include "firmware/scsi_layouts.h"

namespace vxtsim {

namespace {

namespace I = layout::inquiry_data;
namespace V = layout::vpd_page;
namespace A = layout::ata_identify;

// ATA strings hold two characters per word, the first in the high byte.
void PutAtaText(Bytes& b, size_t first_word, size_t words, const std::string& text) {
  for (size_t i = 0; i < words * 2; ++i) {
    char c = i < text.size() ? text[i] : ' ';
    size_t word = first_word + i / 2;
    b[2 * word + (i % 2 == 0 ? 1 : 0)] = static_cast<uint8_t>(c);
  }
}

Bytes Inquiry(uint8_t type, bool removable, const std::string& vendor, const std::string& product,
              const std::string& revision, const std::string& serial) {
  Bytes d(I::kSize, 0);
  d[I::kDeviceType] = type;
  d[I::kRemovable] = removable ? 0x80 : 0x00;
  d[I::kVersion] = 0x05;
  d[I::kResponseFormat] = 0x02;
  d[I::kAdditionalLength] = static_cast<uint8_t>(d.size() - (I::kAdditionalLength + 1));
  d[I::kFlags] = 0x02;
  PutText(d, I::kVendorId, I::kVendorIdSize, vendor);
  PutText(d, I::kProductId, I::kProductIdSize, product);
  PutText(d, I::kProductRev, I::kProductRevSize, revision);
  PutText(d, I::kSerial, I::kSerialSize, serial);
  return d;
}

uint16_t RotationRate(const Device& dev) { return dev.ssd ? 1 : dev.rotation_rate.value; }

}  // namespace

Bytes StandardInquiry(const Device& dev) {
  Bytes d = Inquiry(dev.type, dev.removable, dev.vendor, dev.product, dev.revision, dev.serial);
  if (dev.kvr_fru.given) PutText(d, I::kKvrFru, I::kKvrFruSize, dev.kvr_fru);
  ApplyPatches(dev.inquiry_bytes, d);
  return d;
}

bool VpdPage(const Device& dev, uint8_t page, Bytes& out) {
  const std::vector<uint8_t>& pages = dev.vpd_pages;
  if (std::find(pages.begin(), pages.end(), page) == pages.end()) return false;
  uint8_t type = dev.type;
  switch (page) {
    case 0x00:
      out.assign(V::kHeaderSize + pages.size(), 0);
      out[V::kDeviceType] = type;
      out[V::kPageLength] = static_cast<uint8_t>(pages.size());
      std::copy(pages.begin(), pages.end(), out.begin() + V::kHeaderSize);
      return true;
    case 0x80:
      out.assign(V::kHeaderSize + V::kSerialSize, 0);
      out[V::kDeviceType] = type;
      out[V::kPageCode] = 0x80;
      out[V::kPageLength] = V::kSerialSize;
      PutText(out, V::kHeaderSize, V::kSerialSize, dev.serial);
      return true;
    case 0xB1: {
      out.assign(V::kBlockCharacteristicsSize, 0);
      out[V::kDeviceType] = type;
      out[V::kPageCode] = 0xB1;
      out[V::kPageLength] = V::kBlockCharacteristicsSize - V::kHeaderSize;
      uint16_t rate = RotationRate(dev);
      out[V::kRotationRate] = static_cast<uint8_t>(rate >> 8);
      out[V::kRotationRate + 1] = static_cast<uint8_t>(rate);
      return true;
    }
    case 0xC4:
      out.assign(V::kKvrSize, 0);
      out[V::kDeviceType] = type;
      out[V::kPageCode] = 0xC4;
      out[V::kPageLength] = V::kKvrSize - V::kHeaderSize;
      PutText(out, V::kKvrPart, V::kKvrPartSize, dev.kvr_part);
      return true;
    default:
      return false;
  }
}

Bytes VolumeInquiry(const Volume& vol) {
  return Inquiry(0, false, "VXT", "Logical Volume", "3000", vol.serial);
}

Bytes AtaIdentifyData(const Device& dev) {
  Bytes d(A::kSize, 0);
  uint64_t blocks = dev.blocks;
  Put16(d, 2 * A::kGeneralConfig, 0x0040);
  PutAtaText(d, A::kSerial, A::kSerialWords, dev.serial);
  PutAtaText(d, A::kFirmwareRev, A::kFirmwareRevWords, dev.revision);
  PutAtaText(d, A::kModel, A::kModelWords,
             dev.ata_model.given ? dev.ata_model.value : dev.product.value);
  Put16(d, 2 * A::kCapabilities, 0x0200);  // LBA supported
  Put32(d, 2 * A::kLba28Sectors, blocks > 0x0FFFFFFF ? 0x0FFFFFFF : blocks);
  Put16(d, 2 * A::kCommandSets, 0x0400);  // 48-bit addressing
  Put64(d, 2 * A::kLba48Sectors, blocks);
  Put16(d, 2 * A::kRotationRate, RotationRate(dev));
  return d;
}

}  // namespace vxtsim
