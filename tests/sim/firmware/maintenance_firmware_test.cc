// The enclosure processor's locate LED and a disk that takes its time to
// format.
#include <gtest/gtest.h>

#include <cerrno>

#include "document/state_file.h"
#include "firmware/firmware.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

// SEP request for enclosure 1, slot 2; action 0 writes `status`.
Exchange Slot(Firmware& fw, uint8_t action, uint32_t status = 0) {
  Bytes f(32, 0);
  f[3] = 0x18;
  f[4] = action;
  f[5] = 1;
  vxtsim::Put32(f, 12, status);
  vxtsim::Put16(f, 28, 2);
  vxtsim::Put16(f, 30, 1);
  return fw.Send({0, f});
}

TEST(LocateLed, LitByTheIdentifyBitWhetherOrNotTheProcessorReportsIt) {
  for (bool reports : {true, false}) {
    SCOPED_TRACE(reports);
    json lab = volkit_test::SasLab(3);
    if (!reports) lab["controllers"][0]["enclosures"][0]["reports_identify"] = false;
    Firmware fw(vxtsim::StateFromLab(lab));
    uint32_t shown = reports ? 0x20007 : 0x7;
    EXPECT_EQ(vxtsim::Get32(Slot(fw, 0, 0x20007).reply, 20), shown);
    EXPECT_EQ(vxtsim::Get32(Slot(fw, 1).reply, 20), shown);
    vxtsim::Model model = vxtsim::ModelOf(fw.state(), "state");
    EXPECT_TRUE(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 2));
    EXPECT_FALSE(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 1));

    // A host that writes back what it read: the echoing processor keeps the
    // LED lit, the other one puts it out.
    Slot(fw, 0, vxtsim::Get32(Slot(fw, 1).reply, 20));
    model = vxtsim::ModelOf(fw.state(), "state");
    EXPECT_EQ(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 2), reports);
  }
}

Bytes FormatFrame(uint8_t target) {
  Bytes f(30, 0);
  f[0] = target;
  f[4] = 6;
  f[24] = 0x04;
  return f;
}

TEST(FormatDuration, LongerThanTheTimeoutEndsInTheDriversTimeout) {
  json lab = volkit_test::SasLab(2);
  json& devices = lab["controllers"][0]["devices"];
  devices[0]["format_ms"] = 10000;  // the fixture's requests time out after 10 s
  devices[1]["format_ms"] = 10001;
  for (json& d : devices) d["block_data"] = {{"0", "eb"}};
  Firmware fw(vxtsim::StateFromLab(lab));
  Exchange done = fw.Send({0, FormatFrame(0)});
  EXPECT_EQ(done.result, 0);
  EXPECT_EQ(done.status(), 0);
  Exchange late = fw.Send({0, FormatFrame(1)});
  EXPECT_EQ(late.result, -1);
  EXPECT_EQ(late.err, ETIMEDOUT);
  EXPECT_EQ(late.reply, Bytes(128, 0xFF));
  // The disk formatted all the same.
  for (const json& d : fw.state()["controllers"][0]["devices"])
    EXPECT_FALSE(d.contains("block_data"));
}

}  // namespace
}  // namespace vxtsim_test
