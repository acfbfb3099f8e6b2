// What the tests of AUTO share: running it, reading back the volume it made,
// and the refusal for too few drives.  A test file that runs volkit only
// through Auto names RunVolkit in its opening comment, which is what files
// it with the lab tests (tests/CMakeLists.txt).
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

// The request log's function code of a SCSI I/O request.
inline constexpr int kScsiIo = 0x00;

// `volkit 0 auto WORDS` on `lab`, with `answers` on standard input.
VolkitRun Auto(const json& lab, std::vector<std::string> words, const std::string& answers = "");

// The target IDs of the members of the volume at `volume_id`, in member order.
std::vector<int> MemberTargets(const VolkitRun& run, int volume_id, int controller = 0);

// The run refused with AUTO's message for fewer than `minimum` drives of
// `type`, and changed nothing.
void ExpectTooFew(const VolkitRun& run, const char* type, int minimum);

}  // namespace volkit_test
