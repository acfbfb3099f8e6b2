// The sizes of the volumes CREATE builds, through the binary: the worked
// examples, size words in every base, the firmware's rounding mode, the
// primary's partitions, addresses past 32 bits, and drives the size
// arithmetic cannot serve.
#include <gtest/gtest.h>

#include <string>

#include "create/create_build_expect.h"
#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(CreateBuild, MirrorOfRequestedSize) {
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"im", "70000", "0", "1"}))), 143228926u);
  VolkitRun quick = Create(SasLab(2), {"im", "70000", "0", "1", "qsync"});
  LoggedAction volume = VolumeAction(quick);
  EXPECT_EQ(ImageMaxLba(volume), 143359998u);
  EXPECT_EQ(volume.DataWord, 1u);
  // More than the drives hold gives way to the largest size they allow.
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"im", "80000", "0", "1"}))), 142577663u);
}

TEST(CreateBuild, SizeWordsInEveryBase) {
  // 0x800 MiB is 2048 MiB; 010 MiB is 8 MiB (with no reserve, so that it fits).
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"is", "0x800", "0", "1"}))), 3932159u);
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MetadataSize", 0}};
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"is", "010", "0", "1"}))), 16383u);
}

TEST(CreateBuild, SizeCoercionModeOfTheFirmware) {
  // Bits 7-8 of IrFlags equal to 1 round each share down to whole 128 MiB;
  // any other mode keeps the default rounding.
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x80}};
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1"}))), 143130623u);
  for (int flags : {0x100, 0x180}) {
    lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", flags}};
    EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1"}))), 142577663u);
  }
}

TEST(CreateBuild, MirrorKeepsThePrimarysPartitions) {
  // A partition past the secondary's capacity refuses the secondary.
  json lab = SasDisks({kDisk146, kDisk73});
  lab["controllers"][0]["devices"][0]["block_data"] = {{"0", BootSectorHex(2048, 199997953)}};
  VolkitRun run = Create(lab, {"im", "max", "0", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volkit: Couldn't use target 1 drive as a candidate for the raid volume\n"
            "                          as the size of the drive is less than the size of the "
            "primary\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kCreationFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  // With qsync the partitions do not count.
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1", "qsync"}))), 142577663u);

  // A partition past the rounded size raises the size so that its last
  // block, 143000000, is still inside the volume.
  lab = SasDisks({kDisk73, kDisk73});
  lab["controllers"][0]["devices"][0]["block_data"] = {{"0", BootSectorHex(2048, 142997953)}};
  run = Create(lab, {"im", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Requested Volume size of -1MB is smaller than existing partition\n"
            "              on primary with size of 69824MB. Setting Volume size of 69824MB\n");
  EXPECT_EQ(ImageMaxLba(VolumeAction(run)), 143000000u);
}

TEST(CreateBuild, StripedAndEnhancedMirrorSizes) {
  LoggedAction is = VolumeAction(Create(SasLab(3), {"is", "max", "0", "1", "2", "qsync"}));
  EXPECT_EQ(ImageMaxLba(is), 427732991u);
  EXPECT_EQ(is.DataWord, 3u);
  EXPECT_EQ(ByteVector(is.DataOut.begin() + 4, is.DataOut.begin() + 16),
            (ByteVector{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}));  // IS, pool 0
  EXPECT_EQ(ByteVector(is.DataOut.begin() + 36, is.DataOut.begin() + 52),
            (ByteVector{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 2}));
  VolkitRun upper =
      RunVolkit(SasLab(3), {"0", "create", "RAID1E", "MAX", "2", "0", "1", "QSYNC", "NOPROMPT"});
  EXPECT_EQ(upper.out, kBanner);
  LoggedAction ime = VolumeAction(upper);
  EXPECT_EQ(ime.DataWord, 3u);
  EXPECT_EQ(ImageMaxLba(ime), 213866495u);
  EXPECT_EQ(ByteVector(ime.DataOut.begin() + 4, ime.DataOut.begin() + 16),
            (ByteVector{0, 0, 0, 1, 0, 0, 0, 0, 0, 0x80, 1, 0}));  // id 0, IME, pool 1
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"is", "20480", "0", "1"}))), 41680895u);
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(3), {"ime", "20480", "0", "1", "2"}))),
            41746367u);
}

TEST(CreateBuild, VolumesPastThirtyTwoBitAddresses) {
  json lab = SasDisks({kDisk1T, kDisk1T, kDisk1T});
  VolkitRun run = Create(lab, {"is", "max", "0", "1", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) +
                         "volkit: 64-bit volume addressing not supported by IOC.\n"
                         "        Cannot create volume with size greater than 2TB\n" +
                         kCreationFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  lab["controllers"][0]["pages"]["IocPg2"] = {{"CapabilityFlags", "0x10000007"}};
  LoggedAction volume = VolumeAction(Create(lab, {"is", "max", "0", "1", "2"}));
  EXPECT_EQ(ByteVector(volume.DataOut.begin() + 16, volume.DataOut.begin() + 24),
            (ByteVector{0xFF, 0xEF, 0x3E, 0x5D, 1, 0, 0, 0}));
}

TEST(CreateBuild, DrivesTheSizeArithmeticCannotServe) {
  // READ CAPACITY(10) of a 2 TiB drive wraps its block count to 0.
  VolkitRun run = Create(SasDisks({kDisk73, 4294967296ull}), {"im", "max", "0", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        its capacity of 2 TB or more cannot be addressed.\n");
  EXPECT_TRUE(RaidActions(run).empty());
  // No larger than the 64 MiB reserve.
  run = Create(SasDisks({kDisk73, 131072}), {"is", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        it is too small to hold a volume beside the RAID metadata.\n");
  EXPECT_TRUE(RaidActions(run).empty());
  // A parallel-SCSI share under 120 MiB has nothing left after rounding.
  json scsi = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 204800}]}]})");
  run = Create(scsi, {"im", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        it is too small to hold a volume beside the RAID metadata.\n");
  EXPECT_TRUE(RaidActions(run).empty());
}

}  // namespace
}  // namespace volkit_test
