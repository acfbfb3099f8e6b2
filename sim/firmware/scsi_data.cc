#include "firmware/scsi_data.h"

#include <algorithm>

#include "firmware/page_image.h"

namespace vxtsim {

namespace {

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
  Bytes d(128, 0);
  d[0] = type;
  d[1] = removable ? 0x80 : 0x00;
  d[2] = 0x05;
  d[3] = 0x02;
  d[4] = static_cast<uint8_t>(d.size() - 5);
  d[7] = 0x02;
  PutText(d, 8, 8, vendor);
  PutText(d, 16, 16, product);
  PutText(d, 32, 4, revision);
  PutText(d, 36, 20, serial);
  return d;
}

uint16_t RotationRate(const Device& dev) { return dev.ssd ? 1 : dev.rotation_rate.value; }

}  // namespace

Bytes StandardInquiry(const Device& dev) {
  Bytes d = Inquiry(dev.type, dev.removable, dev.vendor, dev.product, dev.revision, dev.serial);
  if (dev.kvr_fru.given) PutText(d, 114, 12, dev.kvr_fru);
  ApplyPatches(dev.inquiry_bytes, d);
  return d;
}

bool VpdPage(const Device& dev, uint8_t page, Bytes& out) {
  const std::vector<uint8_t>& pages = dev.vpd_pages;
  if (std::find(pages.begin(), pages.end(), page) == pages.end()) return false;
  uint8_t type = dev.type;
  switch (page) {
    case 0x00:
      out.assign(4 + pages.size(), 0);
      out[0] = type;
      out[3] = static_cast<uint8_t>(pages.size());
      std::copy(pages.begin(), pages.end(), out.begin() + 4);
      return true;
    case 0x80:
      out.assign(24, 0);
      out[0] = type;
      out[1] = 0x80;
      out[3] = 20;
      PutText(out, 4, 20, dev.serial);
      return true;
    case 0xB1: {
      out.assign(64, 0);
      out[0] = type;
      out[1] = 0xB1;
      out[3] = 0x3C;
      uint16_t rate = RotationRate(dev);
      out[4] = static_cast<uint8_t>(rate >> 8);
      out[5] = static_cast<uint8_t>(rate);
      return true;
    }
    case 0xC4:
      out.assign(44, 0);
      out[0] = type;
      out[1] = 0xC4;
      out[3] = 40;
      PutText(out, 28, 12, dev.kvr_part);
      return true;
    default:
      return false;
  }
}

Bytes VolumeInquiry(const Volume& vol) {
  return Inquiry(0, false, "VXT", "Logical Volume", "3000", vol.serial);
}

Bytes AtaIdentifyData(const Device& dev) {
  Bytes d(512, 0);
  uint64_t blocks = dev.blocks;
  Put16(d, 0, 0x0040);
  PutAtaText(d, 10, 10, dev.serial);
  PutAtaText(d, 23, 4, dev.revision);
  PutAtaText(d, 27, 20, dev.ata_model.given ? dev.ata_model.value : dev.product.value);
  Put16(d, 2 * 49, 0x0200);  // LBA supported
  Put32(d, 2 * 60, blocks > 0x0FFFFFFF ? 0x0FFFFFFF : blocks);
  Put16(d, 2 * 83, 0x0400);  // 48-bit addressing
  Put64(d, 2 * 100, blocks);
  Put16(d, 2 * 217, RotationRate(dev));
  return d;
}

}  // namespace vxtsim
