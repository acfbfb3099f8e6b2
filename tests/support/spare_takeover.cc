#include "support/spare_takeover.h"

#include <gtest/gtest.h>

#include "support/lab.h"

namespace volkit_test {

VolkitRun SpareTookOverAndResynced() {
  VolkitRun run = RunVxtsim(DefaultLab(), {"fail", "0:1"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (int i = 0; i < 20; ++i) {
    run = RunVolkitAgain(run, {"0", "status"});
    if (run.out.find("Volume state                            : Optimal\n") != std::string::npos) {
      return run;
    }
  }
  ADD_FAILURE() << "the resync never ended:\n" << run.out;
  return run;
}

}  // namespace volkit_test
