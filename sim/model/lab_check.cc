#include "lab_check.h"

#include <set>

#include "controller.h"
#include "faults.h"
#include "page_image.h"
#include "raid_config.h"
#include "sas_topology.h"

namespace vxtsim {

namespace {

// Every address at which an instance of the page exists (0 for single pages).
std::vector<uint32_t> Addresses(const json& ctl, const PageDef& def) {
  std::vector<uint32_t> addresses;
  std::string name = def.name;
  if (name == "RaidVolPg0" || name == "RaidVolPg1") {
    for (const json& vol : Volumes(ctl)) addresses.push_back(VolumeBus(vol) * 256u + VolumeId(vol));
  } else if (name == "RaidPhysDiskPg0") {
    for (const json& pd : PhysDisks(ctl)) addresses.push_back(PhysDiskNum(pd));
  } else if (name == "SasDevicePg0") {
    for (const SasNode& n : SasDevices(ctl)) addresses.push_back(0x20000000u | n.handle);
  } else if (name == "SasEnclosurePg0") {
    addresses.push_back(0xFFFF);
  } else {
    addresses.push_back(0);
  }
  return addresses;
}

void CheckUnique(const std::vector<SasNode>& nodes, const std::string& what) {
  std::set<uint16_t> seen;
  for (const SasNode& n : nodes) {
    if (n.handle == 0xFFFF || !seen.insert(n.handle).second) {
      throw LabError(what + " handle " + std::to_string(n.handle) + " is repeated or reserved");
    }
  }
}

// Identity values are read by the driver and the facts replies only.
void CheckNumbers(const json& ctl, const char* key) {
  for (auto& [name, value] : Member(ctl, key).items()) {
    if (name == "firmware_version" && value.is_string()) continue;
    ToNum(value, std::string(key) + "." + name);
  }
}

}  // namespace

void CheckLab(const json& lab) {
  std::set<uint64_t> numbers;
  for (const json& ctl : List(lab, "controllers")) {
    uint64_t number = Num(ctl, "number", 256);
    std::string where = "controller " + std::to_string(number);
    try {
      if (number > 255 || !numbers.insert(number).second) {
        throw LabError("needs a unique \"number\" from 0 to 255");
      }
      for (const char* key : {"pci", "ioc_facts", "port_facts"}) CheckNumbers(ctl, key);
      CheckUnique(SasDevices(ctl), "device");
      CheckUnique(SasEnclosures(ctl), "enclosure");
      for (const PageDef& def : PageDirectory()) {
        if (!PageAvailable(ctl, def)) continue;
        for (uint32_t address : Addresses(ctl, def)) {
          Bytes page;
          try {
            BuildPage(ctl, def, address, false, page);
            BuildPage(ctl, def, address, true, page);
          } catch (const LabError& e) {
            throw LabError(std::string(def.name) + ": " + e.what());
          }
        }
      }
    } catch (const LabError& e) {
      throw LabError(where + ": " + e.what());
    } catch (const json::exception& e) {
      throw LabError(where + ": " + e.what());
    }
  }
  CheckFaultRules(lab);
}

}  // namespace vxtsim
