// Which driver channel each program brings.  volkit's libraries define none,
// so that a program links exactly the one it names and no link order picks
// one for it; the fuzz replayers answer from their script and never reach a
// driver.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"

namespace volkit_test {
namespace {

const char* const kChannel[] = {"DriverRequest(int, unsigned long, void*)",
                                "OpenDriverChannel(int*)"};

std::string BuildPath(const std::string& relative) {
  return std::string(VOLKIT_BUILD_DIR) + "/" + relative;
}

// The symbols `file` defines (demangled), one per line.
std::string Defined(const std::string& file) {
  VolkitRun nm = RunProgram({"/usr/bin/nm", "-C", "--defined-only", BuildPath(file)});
  EXPECT_EQ(nm.status, 0) << nm.err;
  return nm.out;
}

// The C library functions `program` calls.
std::string Imported(const std::string& program) {
  VolkitRun nm = RunProgram({"/usr/bin/nm", "-D", "--undefined-only", BuildPath(program)});
  EXPECT_EQ(nm.status, 0) << nm.err;
  return nm.out;
}

TEST(DriverSeam, LibrariesLeaveTheChannelToThePrograms) {
  for (const char* library : {"src/libvolkit_vxt.a", "src/libvolkit_core.a"}) {
    SCOPED_TRACE(library);
    std::string symbols = Defined(library);
    for (const char* function : kChannel) {
      EXPECT_EQ(symbols.find(function), std::string::npos) << function;
    }
  }
}

TEST(DriverSeam, VolkitReachesTheNodeAndTheFuzzReplayersNever) {
  std::string volkit = Defined("src/volkit");
  for (const char* function : kChannel) EXPECT_NE(volkit.find(function), std::string::npos);
  EXPECT_NE(Imported("src/volkit").find(" ioctl"), std::string::npos);

  for (const char* target : {"firmware", "command_line", "decoder"}) {
    std::string replayer = std::string("fuzz/volkit_fuzz_replay_") + target;
    SCOPED_TRACE(replayer);
    EXPECT_EQ(Imported(replayer).find(" ioctl"), std::string::npos);
  }
  std::string command_line = Defined("fuzz/volkit_fuzz_replay_command_line");
  for (const char* function : kChannel) EXPECT_NE(command_line.find(function), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
