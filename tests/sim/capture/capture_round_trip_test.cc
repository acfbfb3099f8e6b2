// A captured lab plays back as the controller it was captured from: the same
// reports, and the same requests and answers for a change made on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/capture/capture_support.h"
#include "support/lab.h"

namespace volkit_test {
namespace {

using Args = std::vector<std::string>;

// Runs `args` on a fresh state of each lab; everything volkit prints and the
// requests it sends must agree.  A rehearsed change must also have worked.
void ExpectSameRun(const json& original, const json& copy, const Args& args,
                   bool must_succeed = false) {
  VolkitRun a = RunVolkit(original, args);
  VolkitRun b = RunVolkit(copy, args);
  std::string what;
  for (const std::string& word : args) what += word + " ";
  if (must_succeed) {
    EXPECT_EQ(a.status, 0) << what << a.err;
  }
  EXPECT_EQ(a.status, b.status) << what;
  EXPECT_EQ(a.out, b.out) << what;
  EXPECT_EQ(a.err, b.err) << what;
  std::vector<json> log_a = ComparableLog(a), log_b = ComparableLog(b);
  EXPECT_EQ(log_a.size(), log_b.size()) << what;
  for (size_t i = 0; i < log_a.size() && i < log_b.size(); ++i) {
    if (log_a[i] == log_b[i]) continue;
    ADD_FAILURE() << what << "request " << i << " differs:\n"
                  << log_a[i].dump() << "\n"
                  << log_b[i].dump();
    break;
  }
}

void ExpectRoundTrip(const json& original, const std::vector<std::string>& controllers,
                     const std::vector<Args>& changes) {
  json copy = CapturedLab(original);
  ASSERT_EQ(copy["controllers"].size(), original["controllers"].size());
  // Nothing is lost or added on a second round.
  EXPECT_EQ(CapturedLab(copy), copy);
  ExpectSameRun(original, copy, {"list"});
  for (const std::string& n : controllers) {
    ExpectSameRun(original, copy, {n, "display", "kvrfru"});
    ExpectSameRun(original, copy, {n, "status"});
  }
  for (const Args& change : changes) ExpectSameRun(original, copy, change, true);
}

TEST(CaptureRoundTrip, BuiltInLab) {
  ExpectRoundTrip(DefaultLab(), {"0", "1"},
                  {{"0", "delete", "noprompt"},
                   {"0", "create", "is", "max", "2", "3", "noprompt"},
                   {"0", "create", "im", "max", "1:2", "1:3", "noprompt"},
                   {"1", "create", "im", "max", "0", "1", "noprompt"}});
}

// A volume of each type resynchronising, a hot spare, a KVR SCSI disk and an
// SSD.
TEST(CaptureRoundTrip, ResyncingVolumesHotSparesAndKvrDisks) {
  json lab = SasLab(12);
  json& ctl = lab["controllers"][0];
  ctl["pages"] = Lab(R"({"IocPg2": {"MaxVolumes": 4, "MaxPhysDisks": 16}})");
  ctl["devices"][8].update(
      Lab(R"({"protocol": "sata", "vendor": "ATA", "product": "MERIDIAN MS120F",
                                   "ssd": true})"));
  ctl["devices"][9].update(Lab(R"({"vendor": "KVR", "product": "OD73SAS15KVR",
                                   "kvr_fru": "FRU42X0017", "kvr_part": "PN42X0016"})"));
  ctl["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1, "status_flags": 1},
                   {"num": 2, "target": 2}, {"num": 3, "target": 3}, {"num": 4, "target": 4},
                   {"num": 5, "target": 5}, {"num": 6, "target": 6},
                   {"num": 7, "target": 7, "hot_spare_pool": 1,
                    "smart": {"count": 3, "asc": "0x5d", "ascq": 1}}],
    "volumes": [
      {"id": 0, "type": "IM", "members": [0, 1], "state": 1,
       "resync": {"total": 143243672, "remaining": 100000000, "step": 40000000}},
      {"id": 2, "type": "IME", "members": [2, 3, 4], "state": 1, "settings": "0x8004",
       "resync": {"total": 200000000, "remaining": 150000000}},
      {"id": 5, "type": "IS", "members": [{"num": 6, "map": 0}, {"num": 5, "map": 1}],
       "resync": {"total": 1000, "remaining": 1}}]})");
  ExpectRoundTrip(
      lab, {"0"},
      {{"0", "hotspare", "10"}, {"0", "hotspare", "delete", "7"}, {"0", "delete", "noprompt"}});
}

// Optional pages missing, raw bytes and a non-volatile copy that differs, a
// device walk in an order of its own, and disks of odd kinds.
TEST(CaptureRoundTrip, MissingPagesOddBytesAndDisks) {
  json lab = SasLab(6);
  json& ctl = lab["controllers"][0];
  ctl["pages"] = Lab(R"({
    "IoUnitPg2": {"absent": true}, "IocPg1": {"absent": true}, "IocPg6": {"absent": true},
    "IocPg2": {"bytes": {"10": "07"}},
    "BiosPg2": {"BootDeviceAddress": "0x5000d31000a1c001", "bytes": {"4": "0102"},
                "nvram": {"BootDeviceAddress": "0x5000d31000a1c101", "bytes": {"8": "ff"}}}})");
  ctl["device_walk"] = Lab(R"({"65535": 14, "14": 9, "9": 12, "12": 10, "10": 11, "11": 13,
                               "13": 65535})");
  ctl["enclosures"][0]["slot_status"] = Lab(R"({"2": "0x00020001"})");
  ctl["devices"][2].update(Lab(R"({"type": 5, "removable": true, "product": "OPTICAL DRIVE"})"));
  ctl["devices"][3]["not_ready"] = true;
  ctl["devices"][1]["vpd_pages"] = Lab("[0, 128]");
  ctl["devices"][0]["vpd_pages"] = Lab("[0, 128, 177, 196]");
  ctl["devices"][4].update(Lab(R"({"block_size": 4096, "blocks": 1000000,
                                   "block_data": {"0": "eb3c90"},
                                   "inquiry_bytes": {"16": "4f4400"}})"));
  ctl["devices"][5].update(Lab(R"({"parent": 20, "phy": 7})"));
  ctl["devices"].push_back(Lab(R"({"handle": 20, "kind": "expander", "phy": 4})"));
  ExpectRoundTrip(lab, {"0"},
                  {{"0", "create", "is", "max", "0", "1", "noprompt"},
                   {"0", "create", "im", "max", "1:0", "1:5", "noprompt"}});
}

// Parallel SCSI: no device walk, a mirror whose members answer only by
// their physical disk numbers, and a hot spare.
TEST(CaptureRoundTrip, ParallelScsiWithVolume) {
  json lab = Lab(R"({"controllers": [{
    "number": 2, "pci": {"device_id": "0x0030"},
    "pages": {"IocPg6": {"absent": true}, "ScsiPortPg2": {"PortSettings": 6},
              "IocPg2": {"MaxVolumes": 2, "MaxPhysDisks": 6}},
    "devices": [
      {"target": 0, "vendor": "ORBITAL", "product": "OD36U320", "revision": "0112",
       "serial": "3EC0F110", "blocks": 71132960},
      {"target": 1, "vendor": "ORBITAL", "product": "OD36U320", "revision": "0112",
       "serial": "3EC0F111", "blocks": 71132960},
      {"target": 3, "vendor": "ORBITAL", "product": "OD73U320", "revision": "0115",
       "serial": "3EC1A213", "blocks": 143374744},
      {"target": 4, "vendor": "ORBITAL", "product": "OD73U320", "revision": "0115",
       "serial": "3EC1A214", "blocks": 143374744,
       "block_data": {"0": "fa31c08e"}},
      {"target": 5, "vendor": "ORBITAL", "product": "OD73U320", "revision": "0115",
       "serial": "3EC1A215", "blocks": 143374744}],
    "raid": {
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 5, "hot_spare_pool": 1}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]}}]})");
  ExpectRoundTrip(lab, {"2"},
                  {{"2", "hotspare", "delete", "5"},
                   {"2", "delete", "noprompt"},
                   {"2", "create", "im", "max", "3", "4", "noprompt"}});
}

// The launcher's own form reads the simulated controller too, and writes
// the same lab.
TEST(CaptureRoundTrip, LauncherFormMatchesRunningItUnderTheLauncher) {
  VolkitRun under = RunCapture(DefaultLab());
  VolkitRun own = RunVxtsim(DefaultLab(), {"capture"});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(own.out, under.out);
  EXPECT_EQ(own.err, under.err);
  EXPECT_EQ(own.err,
            "vxtsim capture: controller 0 (SAS): 11 devices, 1 volume, 3 physical disks, "
            "2 enclosures\n"
            "vxtsim capture: controller 1 (parallel SCSI): 3 devices, 0 volumes, 0 physical "
            "disks, 0 enclosures\n"
            "vxtsim capture: controller 1: IocPg6: the controller lacks it\n");
}

}  // namespace
}  // namespace volkit_test
