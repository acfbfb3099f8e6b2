#include "layout/layout_test_support.h"

#include <fstream>

#include "support/lab.h"
#include "support/raid_log.h"

namespace volkit_test {

std::string WriteLayout(const json& layout) {
  static int count = 0;
  std::string path = MakeScratchDir() + "/layout" + std::to_string(++count) + ".json";
  std::ofstream(path) << layout.dump(2);
  return path;
}

size_t ChangeRequests(const VolkitRun& run) {
  // A RAID action other than the progress read (action 1) changes things.
  size_t changes = 0;
  for (const LoggedAction& a : RaidActions(run)) changes += a.Action != 1 ? 1 : 0;
  for (const json& line : run.Ioctls()) {
    int function = line.value("function", -1);
    ByteVector f = FrameBytes(line, 25);
    bool page_write =
        function == 0x04 && f[0] != 0x00 && f[0] != 0x01 && f[0] != 0x05 && f[0] != 0x06;
    bool scsi_change = (function == 0x00 || function == 0x16) && f[24] != 0x12 && f[24] != 0x25 &&
                       f[24] != 0x08 && f[24] != 0x28;
    if (line.value("kind", "") == "reset" || function == 0x18 || page_write || scsi_change)
      ++changes;
  }
  return changes;
}

json OneController(const json& controller) {
  return {{"volkit_layout_version", {1, 0}}, {"controllers", json::array({controller})}};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

json Raid(json lab, const std::string& raid) {
  lab["controllers"][0]["raid"] = Lab(raid);
  return lab;
}

json MirrorLab() {
  return Raid(SasLab(4), R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 3, "target": 3, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
}

}  // namespace volkit_test
