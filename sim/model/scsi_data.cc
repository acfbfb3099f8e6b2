#include "scsi_data.h"

#include "page_image.h"

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

std::string Serial(const json& dev) { return Text(dev, "serial", ""); }

}  // namespace

Bytes StandardInquiry(const json& dev) {
  Bytes d(128, 0);
  d[0] = static_cast<uint8_t>(Num(dev, "type", 0));
  d[1] = Flag(dev, "removable", false) ? 0x80 : 0x00;
  d[2] = 0x05;
  d[3] = 0x02;
  d[4] = static_cast<uint8_t>(d.size() - 5);
  d[7] = 0x02;
  PutText(d, 8, 8, Text(dev, "vendor", ""));
  PutText(d, 16, 16, Text(dev, "product", ""));
  PutText(d, 32, 4, Text(dev, "revision", ""));
  PutText(d, 36, 20, Serial(dev));
  if (!Member(dev, "kvr_fru").is_null()) PutText(d, 114, 12, Text(dev, "kvr_fru", ""));
  ApplyPatches(Member(dev, "inquiry_bytes"), d);
  return d;
}

bool VpdPage(const json& dev, uint8_t page, Bytes& out) {
  bool has_part = !Member(dev, "kvr_part").is_null();
  uint8_t type = static_cast<uint8_t>(Num(dev, "type", 0));
  switch (page) {
    case 0x00: {
      Bytes pages = {0x00, 0x80, 0xB1};
      if (has_part) pages.push_back(0xC4);
      out.assign(4 + pages.size(), 0);
      out[0] = type;
      out[3] = static_cast<uint8_t>(pages.size());
      std::copy(pages.begin(), pages.end(), out.begin() + 4);
      return true;
    }
    case 0x80:
      out.assign(24, 0);
      out[0] = type;
      out[1] = 0x80;
      out[3] = 20;
      PutText(out, 4, 20, Serial(dev));
      return true;
    case 0xB1: {
      out.assign(64, 0);
      out[0] = type;
      out[1] = 0xB1;
      out[3] = 0x3C;
      uint64_t rate = Flag(dev, "ssd", false) ? 1 : Num(dev, "rotation_rate", 7200);
      out[4] = static_cast<uint8_t>(rate >> 8);
      out[5] = static_cast<uint8_t>(rate);
      return true;
    }
    case 0xC4:
      if (!has_part) return false;
      out.assign(44, 0);
      out[0] = type;
      out[1] = 0xC4;
      out[3] = 40;
      PutText(out, 28, 12, Text(dev, "kvr_part", ""));
      return true;
    default:
      return false;
  }
}

Bytes VolumeInquiry(const json& vol) {
  json as_disk = {{"vendor", "VXT"}, {"product", "Logical Volume"}, {"revision", "3000"},
                  {"serial", Text(vol, "serial", "")}};
  return StandardInquiry(as_disk);
}

Bytes AtaIdentifyData(const json& dev) {
  Bytes d(512, 0);
  uint64_t blocks = Num(dev, "blocks", 0);
  Put16(d, 0, 0x0040);
  PutAtaText(d, 10, 10, Serial(dev));
  PutAtaText(d, 23, 4, Text(dev, "revision", ""));
  PutAtaText(d, 27, 20, Text(dev, "ata_model", Text(dev, "product", "")));
  Put16(d, 2 * 49, 0x0200);  // LBA supported
  Put32(d, 2 * 60, blocks > 0x0FFFFFFF ? 0x0FFFFFFF : blocks);
  Put16(d, 2 * 83, 0x0400);  // 48-bit addressing
  Put64(d, 2 * 100, blocks);
  Put16(d, 2 * 217, Flag(dev, "ssd", false) ? 1 : Num(dev, "rotation_rate", 7200));
  return d;
}

}  // namespace vxtsim
