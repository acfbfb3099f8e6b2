// What the tests of CREATE's build share: running CREATE without its
// dialogue, the volume image it sends, and the disks of a lab.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {

inline constexpr char kCreationFailed[] = "volkit: Volume creation failed.\n";
inline constexpr unsigned long long kDisk73 = 143374744;
inline constexpr unsigned long long kDisk146 = 286749488;
inline constexpr unsigned long long kDisk1T = 1953525168;

// `volkit 0 create WORDS noprompt` on `lab`.
VolkitRun Create(const json& lab, std::vector<std::string> words);

// The create-volume action of a run; fails the test when there is none.
LoggedAction VolumeAction(const VolkitRun& run);

// The MaxLBA of the volume image the action sends.
uint64_t ImageMaxLba(const LoggedAction& action);

// The RAID action codes of a run, in the order sent.
std::vector<int> ActionCodes(const VolkitRun& run);

// Controller 0's RAID configuration after the run.
const json& RaidState(const VolkitRun& run);

// The number of entries under `key` ("volumes", "phys_disks") in `raid`.
size_t Count(const json& raid, const char* key);

// A SAS controller with one disk of each size given, at targets 0...
json SasDisks(std::vector<unsigned long long> blocks);

// Block 0 with one active partition of `count` sectors from `start`, as hex.
std::string BootSectorHex(uint32_t start, uint32_t count);

}  // namespace volkit_test
