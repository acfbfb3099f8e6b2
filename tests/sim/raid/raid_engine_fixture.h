// Building RAID configurations through the firmware's RAID actions, for the
// tests of the RAID engine: disks to build from, physical disks, volume
// images and the requests that read back what was built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/firmware/firmware_fixture.h"

namespace vxtsim_test {

inline constexpr uint8_t kIS = 0, kIME = 1, kIM = 2;
// Blocks of the 73 GB disks, and the SAS metadata reserve of each member.
inline constexpr uint64_t k73 = 143374744, kReserve = 0x20000;

// Disks at targets 0-5 (target 2 the larger), none at 6; `patch` is merged
// into the controller.
Firmware Disks(const std::string& patch = "{}");

Exchange CreatePhysDisk(Firmware& fw, uint8_t target, uint8_t pool = 0);
// Creates the physical disk, expecting success, and returns its number.
uint8_t PhysDisk(Firmware& fw, uint8_t target, uint8_t pool = 0);

struct Member {
  uint8_t num, map;
};

Bytes VolumeImage(Firmware& fw, uint8_t type, uint8_t id, uint64_t max_lba,
                  const std::vector<Member>& members);
// The create-volume action's ActionStatus.
uint16_t CreateVolume(Firmware& fw, uint8_t type, uint8_t id, uint64_t max_lba,
                      const std::vector<Member>& members, uint32_t word = 3);
// Members numbered `nums`, mapped in their order.
std::vector<Member> Positions(const std::vector<uint8_t>& nums);

inline const std::vector<Member> kMirror = {{0, 1}, {1, 2}};

// The controller's `raid` key as the state holds it.
json Raid(Firmware& fw);

Bytes Cdb6(uint8_t op, uint8_t count);
Exchange Scsi(Firmware& fw, uint8_t function, uint8_t target, const Bytes& cdb, size_t in,
              const Bytes& out = {});

inline const Bytes kInquiry = {0x12, 0, 0, 0, 36, 0};

}  // namespace vxtsim_test
