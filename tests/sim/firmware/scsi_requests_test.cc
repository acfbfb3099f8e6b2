// SCSI, SATA, enclosure and progress requests of the firmware model.
#include <gtest/gtest.h>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;

Firmware Lab() {
  return Firmware(vxtsim::StateFromLab(volkit_test::Lab(R"({"controllers": [{"number": 0,
    "enclosures": [{"handle": 1, "num_slots": 4}],
    "devices": [{"target": 1, "vendor": "ORBITAL", "serial": "S1", "blocks": 1000},
                {"target": 2, "blocks": 2000, "not_ready": true},
                {"target": 3, "protocol": "sata", "ata_model": "MD KVR", "revision": "R1",
                 "blocks": 3000}],
    "raid": {"phys_disks": [{"num": 5, "target": 1}],
             "volumes": [{"id": 7, "type": "IM", "members": [5], "max_lba": 799,
                          "resync": {"total": 800, "remaining": 300, "step": 200}}]}}],
    "faults": [{"match": {"scsi_opcode": "0x25", "target": 3}, "effect": {"unit_attention": true},
                "first": 1}]})")));
}

Bytes ScsiFrame(uint8_t function, uint8_t target, Bytes cdb, uint32_t length) {
  Bytes f(60, 0);
  f[0] = target;
  f[3] = function;
  f[4] = static_cast<uint8_t>(cdb.size());
  f[5] = 64;
  vxtsim::Put32(f, 20, 0x02000500);
  std::copy(cdb.begin(), cdb.end(), f.begin() + 24);
  vxtsim::Put32(f, 40, length);
  return f;
}

Exchange Scsi(Firmware& fw, uint8_t function, uint8_t target, Bytes cdb, size_t in,
              Bytes out = {}) {
  PassThroughArgs args(0, ScsiFrame(function, target, cdb, static_cast<uint32_t>(in + out.size())),
                       in, out);
  args.sge_words = 12;
  return fw.Send(args);
}

TEST(ScsiRequests, MembersHideFromPlainIoAndAnswerByPhysDiskNum) {
  Firmware fw = Lab();
  Bytes inquiry = {0x12, 0, 0, 0, 36, 0};
  EXPECT_EQ(Scsi(fw, 0x00, 1, inquiry, 36).status(), 0x43);
  Exchange member = Scsi(fw, 0x16, 5, inquiry, 36);
  EXPECT_EQ(member.status(), 0);
  EXPECT_EQ(std::string(member.data.begin() + 8, member.data.begin() + 15), "ORBITAL");
  EXPECT_EQ(Scsi(fw, 0x16, 1, inquiry, 36).status(), 0x43);
  // The volume answers at its own ID with its own size.
  Exchange capacity = Scsi(fw, 0x00, 7, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_EQ(capacity.status(), 0);
  EXPECT_EQ(Bytes(capacity.data.begin(), capacity.data.begin() + 4), (Bytes{0, 0, 0x03, 0x1F}));
}

TEST(ScsiRequests, ShortDataIsAnUnderrunAndNeverOverrunsTheBuffer) {
  Firmware fw = Lab();
  Exchange vpd = Scsi(fw, 0x16, 5, {0x12, 1, 0x80, 0, 255, 0}, 255);
  EXPECT_EQ(vpd.status(), 0x45);
  EXPECT_EQ(vpd.log["data_in_written"], 24);
  EXPECT_EQ(vpd.data[24], 0xFF);
  Exchange missing = Scsi(fw, 0x16, 5, {0x12, 1, 0xC4, 0, 52, 0}, 52);
  EXPECT_EQ(missing.reply[12], 2);
  EXPECT_EQ(Get32(missing.reply, 20), 0u);
}

TEST(ScsiRequests, WritesPersistAndFormatClears) {
  Firmware fw = Lab();
  Bytes block(512, 0);
  block[510] = 0x55;
  block[511] = 0xAA;
  EXPECT_EQ(Scsi(fw, 0x16, 5, {0x0A, 0, 0, 0, 1, 0}, 0, block).status(), 0);
  Exchange read10 = Scsi(fw, 0x16, 5, {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 512);
  EXPECT_EQ(read10.data, block);
  EXPECT_EQ(Scsi(fw, 0x00, 7, {0x08, 0, 0x03, 0x1F, 2, 0}, 1024).reply[12], 2);  // past the end
  PassThroughArgs format(0, ScsiFrame(0x00, 7, {0x04, 0, 0, 0, 0, 0}, 0));
  EXPECT_EQ(fw.Send(format).status(), 0);
  EXPECT_EQ(Scsi(fw, 0x16, 5, {0x08, 0, 0, 0, 1, 0}, 512).data, block);  // the member kept it
}

TEST(ScsiRequests, NotReadyAndUnitAttentionOnce) {
  Firmware fw = Lab();
  Exchange tur = Scsi(fw, 0x00, 2, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_EQ(tur.reply[12], 2);
  EXPECT_EQ(tur.reply[13], 1);
  EXPECT_EQ(tur.log["sense"].get<std::string>().substr(0, 6), "700002");
  Bytes capacity = {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Scsi(fw, 0x00, 3, capacity, 8).log["sense"].get<std::string>().substr(4, 2), "06");
  EXPECT_EQ(Scsi(fw, 0x00, 3, capacity, 8).reply[12], 0);
}

TEST(SataRequests, IdentifyCarriesStringsHighByteFirst) {
  Firmware fw = Lab();
  Bytes f(48, 0);
  f[0] = 3;
  f[3] = 0x1C;
  vxtsim::Put16(f, 4, 0x11);
  vxtsim::Put32(f, 24, 512);
  f[28] = 0x27;
  f[29] = 0x80;
  f[30] = 0xEC;
  f[35] = 0x10;
  PassThroughArgs args(0, f, 512);
  args.sge_words = 12;
  Exchange x = fw.Send(args);
  ASSERT_EQ(x.status(), 0);
  EXPECT_EQ(x.data[55], 'M');  // word 27, first character in the high byte
  EXPECT_EQ(x.data[54], 'D');
  EXPECT_EQ(x.data[47], 'R');  // word 23
  args.frame[0] = 1;           // a SAS disk
  EXPECT_EQ(fw.Send(args).status(), 0x43);
}

TEST(EnclosureRequests, SlotStatusReadsBackWhatWasWritten) {
  Firmware fw = Lab();
  Bytes f(32, 0);
  f[3] = 0x18;
  f[4] = 0;
  f[5] = 1;
  vxtsim::Put32(f, 12, 0x00020000);
  vxtsim::Put16(f, 28, 2);
  vxtsim::Put16(f, 30, 1);
  PassThroughArgs write(0, f);
  write.sge_words = 8;
  EXPECT_EQ(fw.Send(write).status(), 0);
  f[4] = 1;
  vxtsim::Put32(f, 12, 0);
  EXPECT_EQ(Get32(fw.Send(PassThroughArgs(0, f)).reply, 20), 0x00020000u);
  vxtsim::Put16(f, 28, 4);  // past the last slot
  EXPECT_NE(fw.Send(PassThroughArgs(0, f)).status(), 0);
}

TEST(RaidActions, ProgressAdvancesByStepAndFinishes) {
  Firmware fw = Lab();
  Bytes f(32, 0);
  f[0] = 1;
  f[3] = 0x15;
  f[4] = 7;
  std::vector<uint64_t> remaining;
  for (int i = 0; i < 3; ++i) {
    Exchange x = fw.Send(PassThroughArgs(0, f));
    EXPECT_EQ(vxtsim::Get64(x.reply, 24), 800u);
    remaining.push_back(vxtsim::Get64(x.reply, 32));
  }
  EXPECT_EQ(remaining, (std::vector<uint64_t>{300, 100, 0}));
  f[0] = 0x12;  // not an action this firmware knows
  EXPECT_NE(vxtsim::Get16(fw.Send(PassThroughArgs(0, f)).reply, 12), 0);
}

}  // namespace
}  // namespace vxtsim_test
