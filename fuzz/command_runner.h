// Runs volkit command lines in-process, on the driver channel the program
// links: the fuzz targets' scripted one or the seed recorder's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// The command lines the firmware target replays, by index (the first byte of
// its input).  New lines go at the end so that the corpus keeps its meaning.
const std::vector<std::vector<std::string>>& FirmwareScenarios();

// Runs `volkit WORDS...` as the program would.  Returns the exit status.
int RunWords(const std::vector<std::string>& words);

// Points standard input at /dev/null (so that no dialogue waits) and standard
// output at /dev/null (reports are not the point); standard error is left to
// the fuzzer.
void QuietStandardStreams();

}  // namespace fuzz
