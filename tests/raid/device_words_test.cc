// Device section decoding: type text, state words, size lines and the
// identity strings of KVR-marked SATA disks.
#include "raid/device_words.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(DeviceTypeText, TypesRemovableAndQualifier) {
  EXPECT_EQ(DeviceTypeText(0x00, 0x00), "Hard disk\n");
  EXPECT_TRUE(IsHardDisk(0x00, 0x00));
  EXPECT_EQ(DeviceTypeText(0x0E, 0x00), "Hard disk\n");
  EXPECT_TRUE(IsHardDisk(0x0E, 0x00));
  EXPECT_EQ(DeviceTypeText(0x00, 0x80), "removable Hard disk\n");
  EXPECT_FALSE(IsHardDisk(0x00, 0x80));
  EXPECT_EQ(DeviceTypeText(0x01, 0x80), "Sequential access device\n");
  EXPECT_FALSE(IsHardDisk(0x01, 0x80));
  EXPECT_EQ(DeviceTypeText(0x0B, 0), "Graphics arts pre-press device\n");
  EXPECT_EQ(DeviceTypeText(0x0D, 0), "Enclosure services device\n");
  EXPECT_EQ(DeviceTypeText(0x0F, 0), "Optical card reader/writer\n");
  EXPECT_EQ(DeviceTypeText(0x10, 0), "unknown device\n");
  EXPECT_EQ(DeviceTypeText(0x7F, 0), "unknown device\n");
  EXPECT_EQ(DeviceTypeText(0x20, 0), "unknown device\n");  // qualifier 1, type 0
  EXPECT_FALSE(IsHardDisk(0x20, 0));
}

// The one rule the size line, the capacity read and the snapshot's size all
// follow, over every pair of type bytes: a simplified disk counts even with
// the removable bit; the type text says "Hard disk" exactly then.
TEST(IsHardDisk, EveryTypeByteAndRemovableBit) {
  for (int type = 0; type < 256; ++type) {
    for (int second : {0x00, 0x7F, 0x80, 0xFF}) {
      const auto t = static_cast<uint8_t>(type), b = static_cast<uint8_t>(second);
      const bool expected = (type == 0x00 && second < 0x80) || type == 0x0E;
      EXPECT_EQ(IsHardDisk(t, b), expected) << type << " " << second;
      EXPECT_EQ(DeviceTypeText(t, b) == "Hard disk\n", expected) << type << " " << second;
    }
  }
}

std::vector<uint8_t> DiskPage(uint8_t state, uint8_t hot_spare_pool, uint8_t status_flags) {
  std::vector<uint8_t> page(120, 0);
  page[10] = hot_spare_pool;
  page[100] = status_flags;
  page[101] = state;
  return page;
}

TEST(MemberStateWord, StatesSparesAndSync) {
  EXPECT_STREQ(MemberStateWord(DiskPage(0, 0, 0)), "Online (ONL)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(4, 0, 0)), "Online (ONL)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(0, 1, 1)), "Hot Spare (HSP)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(4, 0, 1)), "Out of Sync (OSY)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(0, 0, 3)), "Online (ONL)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(1, 0, 0)), "Missing (MIS)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(2, 0, 0)), "Not Compatible (NCOMP)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(3, 1, 0)), "Failed (FLD)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(5, 0, 0)), "Offline Requested (OFLR)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(6, 0, 0)), "Failed Requested (FLDR)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(0xFF, 0, 0)), "Offline Unknown (OFLU)\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(7, 0, 0)), "Unknown!\n");
  EXPECT_STREQ(MemberStateWord(DiskPage(254, 0, 0)), "Unknown!\n");
}

TEST(NonMemberStateWord, ReadyOnlyForReady512ByteDisks) {
  EXPECT_STREQ(NonMemberStateWord(0x00, 1, 512), "Ready (RDY)\n");
  EXPECT_STREQ(NonMemberStateWord(0x0E, 1, 512), "Ready (RDY)\n");
  EXPECT_STREQ(NonMemberStateWord(0x00, 1, 1024), "Available (AVL)\n");
  EXPECT_STREQ(NonMemberStateWord(0x00, -3, 0), "Available (AVL)\n");
  EXPECT_STREQ(NonMemberStateWord(0x00, 1, 0), "Available (AVL)\n");
  EXPECT_STREQ(NonMemberStateWord(0x01, 1, 512), "Standby (SBY)\n");
  EXPECT_STREQ(NonMemberStateWord(0x7F, 1, 0), "Standby (SBY)\n");
}

TEST(DeviceSizeLine, ShiftsByBlockLength) {
  EXPECT_EQ(DeviceSizeLine(143374650, 512),
            "  Size (in MB)/(in sectors)               : 70007/143374650\n");
  EXPECT_EQ(DeviceSizeLine(143374650, 1024),
            "  Size (in MB)/(in sectors)               : 35003/143374650\n");
  EXPECT_EQ(DeviceSizeLine(143374650, 2048),
            "  Size (in MB)/(in sectors)               : 17501/143374650\n");
  EXPECT_EQ(DeviceSizeLine(143374650, 520),
            "  Size (in MB)/(in sectors)               : ??\?/??\?\n");
  EXPECT_EQ(DeviceSizeLine(0xFFFFFFFF, 4096),
            "  Size (in MB)/(in sectors)               : ??\?/??\?\n");
  EXPECT_EQ(DeviceSizeLine(0xFFFFFFFF, 512),
            "  Size (in MB)/(in sectors)               : 2097151/4294967295\n");
}

// Stores `text` into IDENTIFY words from `first_word`, two characters per
// word with the first in the high byte, as a disk does.
void PutAtaString(std::vector<uint8_t>* id, size_t first_word, const char* text) {
  for (size_t i = 0; text[i] != '\0'; ++i) {
    (*id)[2 * (first_word + i / 2) + (i % 2 == 0 ? 1 : 0)] = static_cast<uint8_t>(text[i]);
  }
}

TEST(DecodeKvrIdentify, CapturesTheModelFieldParts) {
  std::vector<uint8_t> id(512, 0);
  PutAtaString(&id, 23, "FW01.2AB");
  // model (20) + FRU/CRU (8) + part number (8) + mark (4)
  PutAtaString(&id, 27, "XQ-9000 DISK MODEL  FRU12345PN678901KVR ");
  KvrAtaStrings s;
  ASSERT_TRUE(DecodeKvrIdentify(id, &s));
  EXPECT_EQ(s.Manufacturer, "KVR ");
  EXPECT_EQ(s.FirmwareRevision, "FW01.2AB");
  EXPECT_EQ(s.Model, "XQ-9000 DISK MODEL  ");
  EXPECT_EQ(s.FruCru, "FRU12345");
  EXPECT_EQ(s.PartNumber, "PN678901");
}

TEST(DecodeKvrIdentify, MarkMustBeExactAndStringsStopAtZero) {
  std::vector<uint8_t> id(512, 0);
  PutAtaString(&id, 27, "MODEL");  // rest of the model field stays zero
  PutAtaString(&id, 45, "KVR ");
  KvrAtaStrings s;
  ASSERT_TRUE(DecodeKvrIdentify(id, &s));
  EXPECT_EQ(s.Model, "MODEL");
  EXPECT_EQ(s.FruCru, "");
  PutAtaString(&id, 45, "KVRX");
  EXPECT_FALSE(DecodeKvrIdentify(id, &s));
  // "KVR " stored low byte first reads as "VK R".
  std::vector<uint8_t> low_first(512, 0);
  std::memcpy(&low_first[90], "KVR ", 4);
  EXPECT_FALSE(DecodeKvrIdentify(low_first, &s));
}

TEST(DecodeKvrIdentify, ShortBufferIsNoMark) {
  std::vector<uint8_t> id(60, 'K');
  KvrAtaStrings s;
  EXPECT_FALSE(DecodeKvrIdentify(id, &s));
}

TEST(HasKvrVendor, FirstThreeVendorBytes) {
  std::vector<uint8_t> inq(36, ' ');
  std::memcpy(&inq[8], "KVRXYZ  ", 8);
  EXPECT_TRUE(HasKvrVendor(inq));
  std::memcpy(&inq[8], "KV RSTUV", 8);
  EXPECT_FALSE(HasKvrVendor(inq));
  EXPECT_FALSE(HasKvrVendor(std::vector<uint8_t>(10, 'K')));
}

}  // namespace
