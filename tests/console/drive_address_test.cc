// Drive specifiers that need no controller requests: the target form, and
// the reading of Encl:Bay pairs.
#include "console/drive_address.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Outcome {
  int Result;
  uint16_t First;
  uint16_t Second;
  std::string Out;
};

class DriveAddress : public ::testing::Test {
 protected:
  void SetUp() override {
    c_ = std::make_unique<ControllerInfo>();
    SetLimits(128, 1);
    table_ = {{0x9, 4, 7, 0, 0x2}, {0xA, 5, 8, 0, 0x2}, {0xB, 4, 9, 0, 0x3}};
  }
  void SetLimits(uint16_t device_limit, uint8_t buses) {
    c_->PortFacts[22] = static_cast<uint8_t>(device_limit);
    c_->PortFacts[23] = static_cast<uint8_t>(device_limit >> 8);
    c_->IocFacts[47] = buses;
  }
  Outcome Parse(const char* text, int is_encl_bay) {
    Outcome o{};
    o.First = o.Second = 0xEEEE;
    testing::internal::CaptureStdout();
    o.Result = ParseDriveLocation(c_.get(), text, is_encl_bay, table_,
                                  static_cast<int>(table_.size()), &o.First, &o.Second);
    o.Out = testing::internal::GetCapturedStdout();
    return o;
  }
  std::pair<int, std::string> Resolve(const char* text, uint8_t* id) {
    testing::internal::CaptureStdout();
    int result = ResolveDriveTarget(c_.get(), text, id);
    return {result, testing::internal::GetCapturedStdout()};
  }
  std::unique_ptr<ControllerInfo> c_;
  DeviceTable table_;
};

TEST_F(DriveAddress, EnclBayNumbersInEveryBase) {
  Outcome o = Parse("12:3", 1);
  EXPECT_EQ(o.Result, 1);
  EXPECT_EQ(o.First, 12);
  EXPECT_EQ(o.Second, 3);
  EXPECT_EQ(o.Out, "");
  EXPECT_EQ(Parse("1:07", 1).Second, 7);
  EXPECT_EQ(Parse("1:0x1A", 1).Second, 26);
  o = Parse("1:5abc", 1);
  EXPECT_EQ(o.Result, 1);
  EXPECT_EQ(o.Second, 5);
  o = Parse("0:0", 1);
  EXPECT_EQ(o.Result, 1);
  EXPECT_EQ(o.First, 0);
}

TEST_F(DriveAddress, EnclBayRefusals) {
  // No number where a zero was not typed, and values the 16-bit fields
  // cannot hold, are refused rather than read as another enclosure or bay.
  for (const char* text : {"3:x", "x:3", ":3", "3:", "65536:1", "1:65537", "-1:2"}) {
    Outcome o = Parse(text, 1);
    EXPECT_EQ(o.Result, 0) << text;
    EXPECT_EQ(o.Out, "volkit: Invalid Encl:Bay value specified for disk : \"" + std::string(text) +
                         "\"!\n")
        << text;
  }
  EXPECT_EQ(Parse("65535:1", 1).First, 65535);
}

TEST_F(DriveAddress, TargetLocationFindsTheLastMatchingDevice) {
  Outcome o = Parse("4", 0);
  EXPECT_EQ(o.Result, 1);
  EXPECT_EQ(o.First, 0x3);
  EXPECT_EQ(o.Second, 9);
  o = Parse("6", 0);
  EXPECT_EQ(o.Result, 0);
  EXPECT_EQ(o.First, 0);
  EXPECT_EQ(o.Second, 0);
  EXPECT_EQ(o.Out, "volkit: Drive with targetId \"6\" does not exist!\n");
}

TEST_F(DriveAddress, TargetLocationLimit) {
  SetLimits(254, 2);  // 127 targets a bus
  EXPECT_EQ(Parse("127", 0).Out, "volkit: Drive with targetId \"127\" does not exist!\n");
  for (const char* text : {"300", "128", "5x", ""}) {
    Outcome o = Parse(text, 0);
    EXPECT_EQ(o.Result, 0);
    EXPECT_EQ(o.Out,
              "volkit: Invalid targetId specified for disk : \"" + std::string(text) + "\"!\n");
  }
  // A controller that reports no buses is taken to have one.
  SetLimits(8, 0);
  EXPECT_EQ(Parse("8", 0).Out, "volkit: Drive with targetId \"8\" does not exist!\n");
  EXPECT_EQ(Parse("9", 0).Out, "volkit: Invalid targetId specified for disk : \"9\"!\n");
}

TEST_F(DriveAddress, ResolveTargetId) {
  SetLimits(0x17F, 1);  // low byte 127
  uint8_t id = 0;
  EXPECT_EQ(Resolve("127", &id), std::make_pair(1, std::string()));
  EXPECT_EQ(id, 127);
  EXPECT_EQ(Resolve("0x10", &id).first, 1);
  EXPECT_EQ(id, 16);
  for (const char* text : {"128", "5x", "", "4294967295", "2147483648"}) {
    EXPECT_EQ(Resolve(text, &id),
              std::make_pair(0, "volkit: Invalid targetId specified for disk : \"" +
                                    std::string(text) + "\"!\n"))
        << text;
  }
}

TEST_F(DriveAddress, EnclBayNeedsSas) {
  c_->BusType = kBusTypeScsi;
  uint8_t id = 0;
  EXPECT_EQ(Resolve("2:5", &id),
            std::make_pair(0, std::string("volkit: Enclosure:Bay option not supported on SCSI "
                                          "controllers!\n")));
}

}  // namespace
