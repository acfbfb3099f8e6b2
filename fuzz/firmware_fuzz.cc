// Every decoder of firmware data, reached the way volkit reaches it: a fixed
// command line runs against replies, pages, data and sense bytes taken from
// the input.  Input: a scenario byte, then the firmware script.
#include <cstddef>
#include <cstdint>

#include "command_runner.h"
#include "firmware_script.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietStandardStreams();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto& scenarios = fuzz::FirmwareScenarios();
  fuzz::ScriptReader script(data + 1, size - 1);
  fuzz::UseScript(&script);
  fuzz::RunWords(scenarios[data[0] % scenarios.size()]);
  fuzz::UseScript(nullptr);
  return 0;
}
