#include "sim/capture/capture_support.h"

#include <gtest/gtest.h>

#include "support/lab.h"

namespace volkit_test {

VolkitRun RunCapture(const json& lab, const std::vector<std::string>& args) {
  std::vector<std::string> command = {"--", VxtsimPath(), "capture"};
  command.insert(command.end(), args.begin(), args.end());
  return RunVxtsim(lab, command);
}

json CapturedLab(const json& lab) {
  VolkitRun run = RunCapture(lab);
  EXPECT_EQ(run.status, 0) << run.err;
  json copy = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(copy.is_discarded()) << run.out;
  return copy.is_discarded() ? json::object() : copy;
}

std::vector<json> ComparableLog(const VolkitRun& run) {
  std::vector<json> lines;
  for (json line : run.log) {
    line.erase("pid");
    lines.push_back(line);
  }
  return lines;
}

}  // namespace volkit_test
