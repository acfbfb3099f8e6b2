#include "support/lab.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace volkit_test {

json Lab(const std::string& text) {
  json lab = json::parse(text, nullptr, false, true);
  if (lab.is_discarded()) {
    ADD_FAILURE() << "lab is not valid JSON:\n" << text;
    return json::object();
  }
  return lab;
}

json DefaultLab() {
  std::ifstream in(VXTSIM_DEFAULT_LAB_FILE);
  std::ostringstream buf;
  buf << in.rdbuf();
  return Lab(buf.str());
}

json& LabController(json& lab, int i) { return lab["controllers"][i]; }

json& LabDevice(json& lab, int i) { return LabController(lab)["devices"][i]; }

std::string SourceTreePath(const std::string& relative) {
  return std::string(VOLKIT_SOURCE_DIR) + "/" + relative;
}

json Patched(json base, const std::string& patch) {
  base.merge_patch(Lab(patch));
  return base;
}

json SasLab(int disks, unsigned long long blocks) {
  json devices = json::array();
  for (int t = 0; t < disks; ++t) {
    devices.push_back({{"target", t},
                       {"enclosure", 1},
                       {"slot", t},
                       {"protocol", "sas"},
                       {"vendor", "ORBITAL"},
                       {"product", "OD73SAS15K"},
                       {"revision", "0004"},
                       {"serial", "SN" + std::to_string(1000 + t)},
                       {"blocks", blocks}});
  }
  return {{"controllers",
           {{{"number", 0},
             {"pci", {{"device_id", "0x54"}}},
             {"enclosures", {{{"handle", 1}, {"num_slots", 8}}}},
             {"devices", devices}}}}};
}

}  // namespace volkit_test
