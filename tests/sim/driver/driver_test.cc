// The driver side: adapter records, fault rules and the node.
#include <gtest/gtest.h>

#include <cerrno>

#include "document/lab_check.h"
#include "document/state_file.h"
#include "model/node.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;

TEST(Driver, AdapterInformationAndMissingControllers) {
  Firmware fw(vxtsim::StateFromLab(volkit_test::Lab(R"({"controllers": [
    {"number": 2, "pci": {"device_id": "0x0062", "bus": 5, "device": 3, "function": 1,
                          "segment": 1, "subsystem_vendor_id": "0x1000",
                          "subsystem_device_id": "0x30a0"}}]})")));
  Exchange x = fw.AdapterInfo(2);
  ASSERT_EQ(x.result, 0);
  EXPECT_EQ(Get32(x.data, 20), 0x62u);
  EXPECT_EQ(Get32(x.data, 28), 0x30A0u);
  EXPECT_EQ(Get32(x.data, 32), 0x1000u);
  EXPECT_EQ(Get32(x.data, 84), 0x523u);  // bus 5, function 1, device 3
  EXPECT_EQ(Get32(x.data, 88), 1u);
  EXPECT_EQ(fw.AdapterInfo(0).err, ENODEV);
  EXPECT_EQ(fw.Send({0, Firmware::ConfigFrame(0, 1, 2)}).err, ENODEV);
  EXPECT_EQ(fw.Reset(1).err, ENODEV);
}

TEST(Driver, UnsupportedFunctionsFailWithAStatus) {
  Firmware fw(vxtsim::StateFromLab(volkit_test::SasLab()));
  Bytes frame(32, 0);
  frame[3] = 0x7F;
  Exchange x = fw.Send({0, frame});
  EXPECT_EQ(x.result, 0);
  EXPECT_EQ(x.status(), 0x01);
}

Firmware FaultFirmware(const std::string& rules) {
  json lab = volkit_test::SasLab();
  lab["faults"] = volkit_test::Lab(rules);
  return Firmware(vxtsim::StateFromLab(lab));
}

TEST(Faults, FirstNAndNthCountEveryMatch) {
  Firmware fw = FaultFirmware(R"([
    {"match": {"page": "IocPg2", "action": 0}, "effect": {"errno": "EIO"}, "first": 2},
    {"match": {"function": 4, "page_type": 1, "page_number": 3}, "effect": {"ioc_status": "0x22"},
     "nth": 2}])");
  Bytes pg2 = Firmware::ConfigFrame(0, 1, 2);
  EXPECT_EQ(fw.Send({0, pg2}).err, EIO);
  EXPECT_EQ(fw.Send({0, pg2}).err, EIO);
  Exchange third = fw.Send({0, pg2});
  EXPECT_EQ(third.result, 0);
  EXPECT_EQ(third.status(), 0);
  EXPECT_FALSE(third.log.contains("fault"));

  Bytes pg3 = Firmware::ConfigFrame(0, 1, 3);
  EXPECT_EQ(fw.Send({0, pg3}).status(), 0);
  Exchange second = fw.Send({0, pg3});
  EXPECT_EQ(second.status(), 0x22);
  EXPECT_EQ(second.log["fault"], 1);
  EXPECT_EQ(fw.Send({0, pg3}).status(), 0);
  EXPECT_EQ(fw.state()["faults"][0]["hits"], 3);
  EXPECT_EQ(fw.state()["faults"][1]["hits"], 3);
}

TEST(Faults, NoReplyLeavesTheReplyBufferButDeliversTheWork) {
  Firmware fw = FaultFirmware(R"([{"match": {"action": 4}, "effect": {"no_reply": true}},
    {"match": {"request": "adapter_info"}, "effect": {"errno": 19}, "nth": 1}])");
  Bytes bios = fw.ReadPage(0, 1, 2, 2).data;
  vxtsim::Put64(bios, 32, 77);
  Exchange x = fw.WritePage(0, 4, bios);
  EXPECT_EQ(x.result, 0);
  EXPECT_EQ(x.reply, Bytes(128, 0xFF));
  EXPECT_EQ(fw.ReadPage(0, 6, 2, 2).data, bios);
  EXPECT_EQ(fw.AdapterInfo(0).err, ENODEV);
  EXPECT_EQ(fw.AdapterInfo(0).result, 0);
}

TEST(Faults, LabCheckNamesBadRulesAndValues) {
  auto message = [](const std::string& lab_text) {
    try {
      vxtsim::CheckLab(volkit_test::Lab(lab_text));
    } catch (const vxtsim::LabError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_NE(message(R"({"faults": [{"match": {"colour": 1}}]})").find("colour"), std::string::npos);
  EXPECT_NE(message(R"({"faults": [{"match": {"page": "IocPg9"}}]})").find("IocPg9"),
            std::string::npos);
  EXPECT_NE(message(R"({"faults": [{"effect": {"errno": "EWHAT"}}]})").find("errno"),
            std::string::npos);
  EXPECT_NE(message(R"({"controllers": [{"number": 0, "pages": {"IocPg1": {"PciSlotNum": "x"}}}]})")
                .find("IocPg1"),
            std::string::npos);
  EXPECT_NE(
      message(R"({"controllers": [{"number": 0, "devices": [{"handle": 9}, {"handle": 9}]}]})")
          .find("handle 9"),
      std::string::npos);
  EXPECT_EQ(message(volkit_test::DefaultLab().dump()), "");
}

TEST(Node, CreationRemovalAndDriverRules) {
  json state = volkit_test::Lab(R"({"node": {"exists": false, "creatable": false}})");
  bool changed = false;
  EXPECT_EQ(vxtsim::NodeOpen(state), ENOENT);
  EXPECT_EQ(vxtsim::NodeMknod(state, 020600, 10, 220, changed), EPERM);
  EXPECT_FALSE(changed);

  state["node"]["creatable"] = true;
  state["node"]["driver_loaded"] = false;
  EXPECT_EQ(vxtsim::NodeMknod(state, 020600, 10, 220, changed), 0);
  EXPECT_TRUE(changed);
  EXPECT_EQ(state["node"]["mode"], 020600);
  EXPECT_EQ(vxtsim::NodeMknod(state, 020600, 10, 220, changed), EEXIST);
  EXPECT_EQ(vxtsim::NodeOpen(state), ENXIO);
  EXPECT_EQ(vxtsim::NodeUnlink(state, changed), 0);
  EXPECT_EQ(vxtsim::NodeUnlink(state, changed), ENOENT);

  // A node with the wrong numbers or type reaches no driver.
  state["node"]["driver_loaded"] = true;
  EXPECT_EQ(vxtsim::NodeMknod(state, 020600, 10, 221, changed), 0);
  EXPECT_EQ(vxtsim::NodeOpen(state), ENXIO);
  EXPECT_EQ(vxtsim::NodeUnlink(state, changed), 0);
  EXPECT_EQ(vxtsim::NodeMknod(state, 0100600, 10, 220, changed), 0);
  EXPECT_EQ(vxtsim::NodeOpen(state), ENXIO);
  EXPECT_EQ(vxtsim::NodeUnlink(state, changed), 0);
  EXPECT_EQ(vxtsim::NodeMknod(state, 020600, 10, 220, changed), 0);
  EXPECT_EQ(vxtsim::NodeOpen(state), 0);
}

}  // namespace
}  // namespace vxtsim_test
