#include "report/device_sas_expect.h"

#include "report/report_expect.h"

namespace volkit_test {

json SasLabWith(const std::string& extra) {
  json lab = EmptySasLab();
  lab["controllers"][0].merge_patch(Lab(extra));
  lab["controllers"][0]["port_facts"] = {{"device_limit", 8}, {"initiator_id", 63}};
  return lab;
}

std::string DeviceSection(const VolkitRun& run) {
  return Slice(run.out, "Initiator at ID", "------");
}

}  // namespace volkit_test
