// Runs volkit command lines in-process on the scripted driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "console/discovery.h"

namespace fuzz {

// The command lines the firmware target replays, by index (the first byte of
// its input).  New lines go at the end so that the corpus keeps its meaning.
const std::vector<std::vector<std::string>>& FirmwareScenarios();

// The scripted driver needs no node: it hands out no descriptor.
int OpenScriptedNode(int* handle);

// Runs `volkit WORDS...` as the program would.  Returns the exit status.
int RunWords(const std::vector<std::string>& words, DriverOpener open_driver = OpenScriptedNode);

// Points standard input at /dev/null (so that no dialogue waits) and standard
// output at /dev/null (reports are not the point); standard error is left to
// the fuzzer.
void QuietStandardStreams();

}  // namespace fuzz
