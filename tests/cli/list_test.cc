// LIST: one row per controller the driver knows, in number order.
#include <gtest/gtest.h>

#include "support/banner.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(List, TableWithGapsUnknownTypesAndFixedVendor) {
  json lab = Lab(R"({"controllers": [
    {"number": 0, "pci": {"device_id": "0x0054", "subsystem_vendor_id": "0x1028",
                          "subsystem_device_id": "0x1F04", "bus": 2, "device": 3,
                          "function": 1, "segment": 0}},
    {"number": 2, "pci": {"device_id": "0x1220", "subsystem_vendor_id": "0x15D9",
                          "subsystem_device_id": "0x0001", "bus": "0x1A3", "device": 31,
                          "function": 7, "segment": "0x10002"}},
    {"number": 12, "pci": {"device_id": "0x0030", "subsystem_vendor_id": "0x1000",
                           "subsystem_device_id": "0x1040", "bus": 6, "device": 4,
                           "function": 0}}
  ]})");
  VolkitRun run = RunVolkit(lab, {"LIST"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            std::string(kBanner) +
                "\n"
                "         Adapter   Vendor  Device  Segment                     SubSys  SubSys \n"
                " Ioc#     Type       ID      ID      ID     Bus  Device  Func  Ven ID  Dev ID \n"
                " -----  ---------  ------  ------  -------  ---  ------  ----  ------  ------ \n"
                "   0     Heron   1000h    54h    0000h    02h    03h   01h   1028h   1f04h \n"
                "   2     UNKNOWN   1000h    20h    0002h    a3h    1fh   07h   15d9h   0001h \n"
                "  12     Wren   1000h    30h    0000h    06h    04h   00h   1000h   1040h \n"
                "\n\n");
}

TEST(List, QueriesEveryNumberWithTheAdapterRecord) {
  VolkitRun run = RunVolkit(Lab(R"({"controllers": [{"number": 254}]})"), {"list"});
  EXPECT_EQ(run.status, 0);
  std::vector<json> calls = run.Ioctls();
  ASSERT_EQ(calls.size(), 255u);
  for (size_t n = 0; n < calls.size(); ++n) {
    EXPECT_EQ(calls[n]["request"], 0xC05C6D11u);
    EXPECT_EQ(calls[n]["controller"], n);
    EXPECT_EQ(calls[n]["max_data_size"], 92);
  }
  EXPECT_NE(run.out.find("\n  254     Heron   1000h    54h"), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
