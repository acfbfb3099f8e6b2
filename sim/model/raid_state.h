// The RAID configuration a controller keeps: physical disks, volumes with
// their members, hot-spare pools and the progress of a resynchronisation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/given.h"
#include "model/page_state.h"
#include "model/topology_state.h"

namespace vxtsim {

enum VolumeTypeCode : uint8_t { kVolumeIS = 0, kVolumeIME = 1, kVolumeIM = 2 };

// RaidPhysDiskPg0 PhysDiskState values the firmware sets.
enum PhysDiskState : uint8_t { kDiskOnline = 0, kDiskFailed = 3, kDiskOfflineRequested = 5 };
// RaidPhysDiskPg0 PhysDiskStatusFlags.
constexpr uint8_t kDiskOutOfSync = 0x01;
// RaidVolPg0 VolumeState values.
enum VolumeState : uint8_t { kVolumeOptimal = 0, kVolumeDegraded = 1, kVolumeFailed = 2 };

struct Smart {
  bool given = false;
  Given<uint16_t> count;
  Given<uint8_t> asc, ascq;
};

struct PhysDisk {
  Given<uint8_t> num;  // PhysDiskNum
  Given<uint8_t> target, bus;
  Given<uint8_t> ioc;  // the IOC number
  Given<uint8_t> state, status_flags;
  Given<uint8_t> hot_spare_pool;
  Given<bool> failed;       // the disk has failed; the firmware reacts at its next request
  Given<uint32_t> max_lba;  // not given: the disk's blocks - 1
  Given<std::string> vendor, product, revision;  // vendor not given: the disk's strings
  Smart smart;
  Patches page_bytes;
};

struct VolumeMember {
  uint8_t num = 0;         // PhysDiskNum
  uint8_t map = 0;         // PhysDiskMap
  bool as_object = false;  // written {num, map} rather than a bare number
  bool map_given = false;
};

struct Resync {
  bool given = false;
  Given<uint64_t> total, remaining, step;
};

struct Volume {
  Given<uint8_t> id, bus;
  Given<uint8_t> ioc;
  Given<uint8_t> type{kVolumeIM};
  std::string type_name;  // the name the lab gave for the type, if any
  bool members_given = false;
  std::vector<VolumeMember> members;
  Given<uint8_t> state;
  Given<bool> inactive;
  Given<uint8_t> status_flags;  // not given: derived
  Given<uint16_t> settings{0x8000};
  Given<uint8_t> hot_spare_pool;  // 1, 0 for IS
  Given<uint64_t> max_lba;        // not given: what the members hold
  Given<uint64_t> wwid;
  Given<std::string> serial;
  Resync resync;
  BlockStore block_data;
  Patches page_bytes;

  bool Resyncing() const { return resync.given && resync.remaining.value > 0; }
};

struct Raid {
  bool given = false;
  bool phys_disks_given = false, volumes_given = false;
  std::vector<PhysDisk> phys_disks;
  std::vector<Volume> volumes;
};

}  // namespace vxtsim
