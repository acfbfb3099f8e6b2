// Reply classification, one row per case: controller status first (all 16
// bits), then SCSI state, sense key and response information.
#include "vxt/scsi_classify.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Row {
  const char* Name;
  int CommandClass;
  uint16_t IocStatus;
  uint8_t ScsiStatus;
  uint8_t ScsiState;
  uint8_t SenseKey;
  uint32_t ResponseInfo;
  int Expected;
};

constexpr Row kRows[] = {
    {"clean success", 18, 0x0000, 0, 0x00, 0, 0, 1},
    {"recovered error status", 18, 0x0040, 0, 0x00, 0, 0, 1},
    {"short transfer reads fine", 18, 0x0045, 0, 0x00, 0, 0, 1},
    {"short transfer fails a format", 4, 0x0045, 0, 0x00, 0, 0, 0},
    {"busy repeats", 18, 0x0002, 0, 0x00, 0, 0, -1},
    {"data error repeats", 18, 0x0046, 0, 0x00, 0, 0, -1},
    {"protocol error repeats", 18, 0x0047, 0, 0x00, 0, 0, -1},
    {"no device", 18, 0x0043, 0, 0x00, 0, 0, -2},
    {"flag bit alone is not success", 18, 0x8000, 0, 0x00, 0, 0, 0},
    {"no device with flag bit is a failure", 18, 0x8043, 0, 0x00, 0, 0, 0},
    {"other controller status", 18, 0x0004, 0, 0x00, 0, 0, 0},
    {"incomplete state repeats", 18, 0x0000, 0, 0x02, 0, 0, -1},
    {"incomplete state bit 5 repeats", 18, 0x0000, 0, 0x20, 0, 0, -1},
    {"not ready", 18, 0x0000, 2, 0x01, 0x2, 0, -3},
    {"unit attention repeats", 18, 0x0000, 2, 0x01, 0x6, 0, -1},
    {"medium error repeats", 18, 0x0000, 2, 0x01, 0x3, 0, -1},
    {"hardware error repeats", 18, 0x0000, 2, 0x01, 0x4, 0, -1},
    {"aborted command repeats", 18, 0x0000, 2, 0x01, 0xB, 0, -1},
    {"illegal request fails", 18, 0x0000, 2, 0x01, 0x5, 0, 0},
    {"recovered sense goes on", 18, 0x0000, 2, 0x01, 0x1, 0, 1},
    {"sense valid without check condition", 18, 0x0000, 8, 0x01, 0x0, 0, 0},
    {"check condition without valid sense", 18, 0x0000, 2, 0x00, 0x5, 0, 1},
    {"response info zero", 18, 0x0000, 0, 0x10, 0, 0x00000000, 1},
    {"response info 1 repeats", 18, 0x0000, 0, 0x10, 0, 0x01000000, -1},
    {"response info 3 repeats", 18, 0x0000, 0, 0x10, 0, 0x03000000, -1},
    {"other response info fails", 18, 0x0000, 0, 0x10, 0, 0x02000000, 0},
    {"response info ignored when not valid", 18, 0x0000, 0, 0x00, 0, 0x02000000, 1},
};

TEST(ClassifyScsiReply, Table) {
  for (const Row& row : kRows) {
    std::vector<uint8_t> reply(128, 0);
    std::vector<uint8_t> sense(64, 0);
    reply[12] = row.ScsiStatus;
    reply[13] = row.ScsiState;
    reply[14] = static_cast<uint8_t>(row.IocStatus);
    reply[15] = static_cast<uint8_t>(row.IocStatus >> 8);
    reply[28] = static_cast<uint8_t>(row.ResponseInfo);
    reply[29] = static_cast<uint8_t>(row.ResponseInfo >> 8);
    reply[30] = static_cast<uint8_t>(row.ResponseInfo >> 16);
    reply[31] = static_cast<uint8_t>(row.ResponseInfo >> 24);
    sense[2] = row.SenseKey;
    EXPECT_EQ(ClassifyScsiReply(row.CommandClass, reply, sense), row.Expected) << row.Name;
  }
}

TEST(ClassifyScsiReply, SenseKeyIsTheLowNibble) {
  std::vector<uint8_t> reply(128, 0);
  std::vector<uint8_t> sense(64, 0);
  reply[12] = 2;
  reply[13] = 0x01;
  sense[2] = 0xF2;  // filemark/EOM/ILI bits above a not-ready key
  EXPECT_EQ(ClassifyScsiReply(18, reply, sense), -3);
}

TEST(ClassifyScsiReply, ShortReplyAndSenseDoNotReadOutOfBounds) {
  std::vector<uint8_t> reply = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0x11};
  std::vector<uint8_t> sense;
  // Status word missing: reads as 0; sense key missing: reads as 0 (no sense);
  // response information missing: reads as 0.
  EXPECT_EQ(ClassifyScsiReply(18, reply, sense), 1);
}

}  // namespace
