// The serial number and identity strings the json document shows are what
// the device delivered: an inquiry cut short leaves its 0xFF fill in the
// buffer, and that fill is no part of any serial or name.
#include <gtest/gtest.h>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(JsonSerialNumber, ACutShortPageGivesOnlyWhatArrived) {
  json lab = SasLab(3);
  // Target 1's page stops three bytes into its serial, target 2's before
  // its length byte; target 0's arrives whole.
  lab["faults"] = Lab(R"([
    {"match": {"vpd_page": 128, "target": 1}, "effect": {"short": 7}},
    {"match": {"vpd_page": 128, "target": 2}, "effect": {"short": 2}}])");
  const VolkitRun run = RunVolkit(lab, {"0", "json"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const json doc = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(doc.is_discarded()) << run.out;
  const json& devices = doc["controllers"][0]["devices"];
  ASSERT_EQ(devices.size(), 3u) << run.out;
  EXPECT_EQ(devices[0]["serial"], "SN1000");
  EXPECT_EQ(devices[1]["serial"], "SN1");
  EXPECT_EQ(devices[2]["serial"], "");
  // The same requests as without the faults: the bound costs no request.
  const VolkitRun whole = RunVolkit(SasLab(3), {"0", "json"});
  ASSERT_EQ(run.Ioctls().size(), whole.Ioctls().size());
}

TEST(JsonSerialNumber, AStandardInquiryCutShortNamesOnlyWhatArrived) {
  json lab = SasLab(2);
  // Every inquiry of target 1 stops after 20 bytes: the vendor whole, four
  // characters of the model, no revision.
  lab["faults"] = Lab(R"([{"match": {"scsi_opcode": 18, "target": 1}, "effect": {"short": 20}}])");
  const VolkitRun run = RunVolkit(lab, {"0", "json"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const json doc = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(doc.is_discarded()) << run.out;
  const json& devices = doc["controllers"][0]["devices"];
  ASSERT_EQ(devices.size(), 2u) << run.out;
  const json& whole = devices[0];
  const json& cut = devices[1];
  EXPECT_EQ(cut["vendor"], whole["vendor"]);
  EXPECT_EQ(cut["model"], whole["model"].get<std::string>().substr(0, 4));
  EXPECT_EQ(cut["firmware_revision"], "");
  EXPECT_EQ(run.out.find("\\u00ff"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace volkit_test
