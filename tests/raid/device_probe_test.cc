// The serial number of a unit serial number page, bounded by the page's own
// length byte, by the 20 bytes shown and by where the transfer ended.
#include "raid/device_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A page of `size` bytes as the inquiry leaves it: 0xFF where nothing came.
std::vector<uint8_t> Page(uint8_t length, const std::string& serial, size_t size = 255) {
  std::vector<uint8_t> page(size, 0xFF);
  page[0] = 0;
  page[1] = 0x80;
  page[2] = 0;
  page[3] = length;
  for (size_t i = 0; i < serial.size() && 4 + i < size; ++i) {
    page[4 + i] = static_cast<uint8_t>(serial[i]);
  }
  return page;
}

TEST(DeliveredSerialNumber, LengthByteFieldWidthAndTransferEnd) {
  EXPECT_EQ(DeliveredSerialNumber(Page(6, "SN1000")), "SN1000");
  EXPECT_EQ(DeliveredSerialNumber(Page(3, "ABCDEF")), "ABC");  // the page says three
  EXPECT_EQ(DeliveredSerialNumber(Page(40, std::string(30, 'X'))), std::string(20, 'X'));
  EXPECT_EQ(DeliveredSerialNumber(Page(20, "SN1")), "SN1");  // the rest never arrived
  EXPECT_EQ(DeliveredSerialNumber(Page(0, "SN1")), "");
  EXPECT_EQ(DeliveredSerialNumber(Page(6, std::string("A\0B", 3))), "AB");
  EXPECT_EQ(DeliveredSerialNumber(Page(20, "ABCDEFGH", 8)), "ABCD");  // buffer ends first
  EXPECT_EQ(DeliveredSerialNumber(std::vector<uint8_t>{0, 0x80}), "");
}

}  // namespace
