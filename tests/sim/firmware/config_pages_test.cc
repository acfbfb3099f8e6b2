// Configuration pages as the firmware model serves them.
#include <gtest/gtest.h>

#include "document/state_file.h"
#include "firmware/page_table.h"
#include "model/protocol.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get16;
using vxtsim::Get32;
using vxtsim::Get64;

Firmware DefaultFirmware() { return Firmware(vxtsim::StateFromLab(volkit_test::DefaultLab())); }

TEST(ConfigPages, EveryDirectoryPageReadsOnTheControllersThatHaveIt) {
  Firmware fw = DefaultFirmware();
  for (const vxtsim::PageDef& def : vxtsim::PageDirectory()) {
    for (uint32_t ctl : {0u, 1u}) {
      bool sas = ctl == 0;
      uint32_t address = def.extended() ? 0xFFFF : 0;
      Exchange x = fw.ReadPage(ctl, 1, def.type, def.number, address, def.ext_type);
      std::string name = def.name;
      // Only controller 0 has a volume 0 and a physical disk 0.
      bool instanced = name.rfind("Raid", 0) == 0;
      bool expected = !(instanced && !sas) && !(name == "ScsiPortPg2" && sas) &&
                      !(def.extended() && !sas) && !(name == "IocPg6" && !sas);
      ASSERT_EQ(x.result, 0) << name;
      EXPECT_EQ(x.status(), expected ? 0 : 0x22) << name << " on controller " << ctl;
      if (!expected) continue;
      size_t size = def.extended() ? Get16(x.data, 4) * 4u : x.data[1] * 4u;
      EXPECT_EQ(size, x.data.size()) << name;
      EXPECT_EQ(x.data[2], def.number) << name;
      EXPECT_EQ(x.log["data_in_written"], size) << name;
    }
  }
}

TEST(ConfigPages, UnknownPagesAndActionsFailInTheHeaderPhase) {
  Firmware fw = DefaultFirmware();
  Exchange x = fw.Send({0, Firmware::ConfigFrame(0, 7, 0)});
  EXPECT_EQ(x.status(), 0x22);
  EXPECT_EQ(x.reply[3], 0x04);
  EXPECT_EQ(Get32(x.reply, 8), 0x0111BEEFu);
  x = fw.Send({0, Firmware::ConfigFrame(0, 0x0F, 0, 0, 0x13)});
  EXPECT_EQ(x.status(), 0x22);
  x = fw.Send({0, Firmware::ConfigFrame(3, 1, 2)});
  EXPECT_EQ(x.status(), 0x20);
}

TEST(ConfigPages, DataPhaseNeedsTheHeaderAsReturnedAndNeverOverrunsTheBuffer) {
  Firmware fw = DefaultFirmware();
  Exchange header = fw.Send({0, Firmware::ConfigFrame(0, 9, 4)});
  ASSERT_EQ(header.status(), 0);
  Bytes f = Firmware::ConfigFrame(1, 9, 4);
  f[20] = header.reply[20];
  f[21] = header.reply[21];
  Exchange x = fw.Send({0, f, 16});
  EXPECT_EQ(x.status(), 0);
  EXPECT_EQ(x.log["data_in_written"], 16);
  f[20] ^= 1;
  x = fw.Send({0, f, 84});
  EXPECT_NE(x.status(), 0);
  EXPECT_EQ(x.log["data_in_written"], 0);
  // The data descriptor must sit where configuration frames keep it.
  f[20] ^= 1;
  PassThroughArgs misplaced{0, f, 84};
  misplaced.sge_words = 6;
  EXPECT_EQ(fw.Send(misplaced).status(), 0x03);
}

TEST(ConfigPages, ReplyIsCutToTheCallersMaximum) {
  Firmware fw = DefaultFirmware();
  PassThroughArgs args{0, Firmware::ConfigFrame(0, 1, 2)};
  args.max_reply = 16;
  Exchange x = fw.Send(args);
  EXPECT_EQ(x.reply[3], 0x04);
  EXPECT_EQ(x.reply[15], 0x00);
  EXPECT_EQ(x.reply[16], 0xFF);
}

TEST(ConfigPages, NvramWriteSurvivesAndCurrentWriteDoesNotReachNvram) {
  Firmware fw = DefaultFirmware();
  Exchange page = fw.ReadPage(0, 1, 2, 2);
  ASSERT_EQ(page.status(), 0);
  Bytes image = page.data;
  vxtsim::Put64(image, 32, 0x5000D31000A1C001ull);
  image[50] = 0x5A;  // a byte outside the named fields comes back too
  ASSERT_EQ(fw.WritePage(0, 4, image).status(), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 2, 2).data, image);
  EXPECT_EQ(fw.ReadPage(0, 6, 2, 2).data, image);
  EXPECT_EQ(fw.state()["controllers"][0]["pages"]["BiosPg2"]["BootDeviceAddress"],
            0x5000D31000A1C001ull);

  Bytes current = image;
  vxtsim::Put64(current, 32, 0);
  ASSERT_EQ(fw.WritePage(0, 2, current).status(), 0);
  EXPECT_EQ(Get64(fw.ReadPage(0, 1, 2, 2).data, 32), 0u);
  EXPECT_EQ(fw.ReadPage(0, 6, 2, 2).data, image);
  ASSERT_EQ(fw.Reset(0).result, 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 2, 2).data, image);
}

TEST(ConfigPages, ReadOnlyAndMismatchedWritesAreRefused) {
  Firmware fw = DefaultFirmware();
  Bytes iocpg2 = fw.ReadPage(0, 1, 1, 2).data;
  EXPECT_EQ(fw.WritePage(0, 4, iocpg2).status(), 0x20);
  Bytes bios = fw.ReadPage(0, 1, 2, 2).data;
  bios.resize(bios.size() - 4);  // shorter than the header says
  EXPECT_EQ(fw.WritePage(0, 4, bios).status(), 0x23);
}

TEST(ConfigPages, IrSwitchTakesEffectAtReset) {
  Firmware fw = DefaultFirmware();
  Bytes unit = fw.ReadPage(0, 6, 0, 1).data;
  vxtsim::Put32(unit, 4, 0x40);
  ASSERT_EQ(fw.WritePage(0, 4, unit).status(), 0);
  EXPECT_EQ(Get32(fw.ReadPage(0, 1, 1, 2).data, 4) & 7, 7u);
  ASSERT_EQ(fw.Reset(0).result, 0);
  EXPECT_EQ(Get32(fw.ReadPage(0, 1, 1, 2).data, 4) & 7, 0u);
  vxtsim::Put32(unit, 4, 0);
  ASSERT_EQ(fw.WritePage(0, 4, unit).status(), 0);
  ASSERT_EQ(fw.Reset(0).result, 0);
  EXPECT_EQ(Get32(fw.ReadPage(0, 1, 1, 2).data, 4), 0x10000007u);
}

TEST(ConfigPages, LabOverridesHeaderAndBytes) {
  Firmware fw(vxtsim::StateFromLab(volkit_test::Lab(R"({"controllers": [{"number": 0,
    "pages": {"IocPg2": {"PageVersion": 9, "PageLength": 255, "bytes": {"8": "ff"}},
              "IocPg1": {"absent": true}}}]})")));
  Exchange x = fw.ReadPage(0, 1, 1, 2);
  ASSERT_EQ(x.status(), 0);
  EXPECT_EQ(x.data.size(), 1020u);
  EXPECT_EQ(x.data[0], 9);
  EXPECT_EQ(x.data[8], 0xFF);
  EXPECT_EQ(fw.ReadPage(0, 1, 1, 1).status(), 0x22);
}

}  // namespace
}  // namespace vxtsim_test
