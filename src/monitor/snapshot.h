// The machine-readable picture of a controller: everything the json, health
// and metrics verbs report, read once and held as plain values.  The writers
// are pure functions of these structs and send nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raid/disk_state.h"

// A RAID physical disk as a volume or the hot-spare list names it.
struct RaidDiskSnapshot {
  uint8_t PhysicalDisk = 0;
  std::optional<uint8_t> Target;     // unknown when its page could not be read
  std::optional<std::string> State;  // DISPLAY's state word in snake case
  uint16_t SmartErrors = 0;
};

// A RAID physical disk as the controller's list of all of them names it,
// with its place in the configuration.
struct PhysicalDiskSnapshot : RaidDiskSnapshot {
  std::optional<uint8_t> VolumeId;  // the volume it belongs to
  std::optional<bool> HotSpare;     // unknown when the hot spare list could not be read
  // False when a volume page could not be read: a disk that no volume read
  // names may still belong to the unread one.
  bool VolumesKnown = true;
};

struct ResyncSnapshot {
  bool Active = false;
  // From the progress indicator; unset while no resync runs or when the
  // indicator could not be read or made no sense.
  std::optional<uint64_t> TotalBlocks;
  std::optional<uint64_t> RemainingBlocks;
};

struct VolumeSnapshot {
  uint8_t VolumeId = 0;
  uint8_t Bus = 0;
  uint8_t Type = 0;                       // IocPg2 volume type: 0 IS, 1 IME, 2 IM
  uint8_t StateCode = 0;                  // RaidVolPg0 VolumeState
  uint8_t StatusFlags = 0;                // RaidVolPg0 VolumeStatusFlags
  bool Inactive = false;                  // either inactive flag
  uint64_t SizeBlocks = 0;                // MaxLBA + 1
  std::vector<RaidDiskSnapshot> Members;  // in the volume's member order
  ResyncSnapshot Resync;
};

struct DeviceSnapshot {
  uint8_t Target = 0;
  std::string DeviceType;  // "disk", "enclosure", ...
  std::optional<uint16_t> Enclosure;
  std::optional<uint16_t> Slot;
  std::optional<std::string> Vendor, Model, FirmwareRevision, Serial;
  std::optional<uint64_t> Blocks;
  std::optional<uint32_t> BlockSize;
  std::string Protocol;  // "sas", "sata" or "scsi"
  std::optional<bool> Ssd;
  std::optional<std::string> State;
  std::optional<uint8_t> PhysicalDisk;
  std::optional<uint8_t> VolumeId;
  std::optional<bool> PredictiveFailure;  // RAID physical disks only
};

struct EnclosureSnapshot {
  uint16_t Enclosure = 0;
  uint32_t LogicalIdHigh = 0;  // DISPLAY prints the low word first
  uint32_t LogicalIdLow = 0;
  uint16_t NumSlots = 0;
  uint16_t StartSlot = 0;
  uint8_t StartTarget = 0;
};

struct PciSnapshot {
  uint16_t VendorId = 0;
  uint16_t DeviceId = 0;
  uint16_t SubsystemVendorId = 0;
  uint16_t SubsystemDeviceId = 0;
  uint16_t Segment = 0;
  uint8_t Bus = 0;
  uint8_t Device = 0;
  uint8_t Function = 0;
};

struct ControllerSnapshot {
  uint32_t Controller = 0;
  bool Sas = false;  // else parallel SCSI
  std::string Model;
  PciSnapshot Pci;
  std::optional<std::string> FirmwareVersion;
  std::optional<std::string> BiosVersion;
  std::optional<bool> IrEnabled;
  // False when anything the picture needs could not be read; Problems then
  // says what, one text each ("the volume list", "volume 0", ...).
  bool Complete = true;
  std::vector<std::string> Problems;
  std::vector<VolumeSnapshot> Volumes;              // by volume ID
  std::vector<RaidDiskSnapshot> HotSpares;          // by physical disk number
  std::vector<PhysicalDiskSnapshot> PhysicalDisks;  // every RAID disk, by number
  std::vector<DeviceSnapshot> Devices;              // by target ID
  std::vector<EnclosureSnapshot> Enclosures;        // by enclosure handle
  // What the collection cost: firmware requests sent and wall time.
  uint64_t Requests = 0;
  double DurationSeconds = 0;
};

// Why a run produced no controller at all.
enum class RunFailure {
  kNone,
  kDriverUnavailable,  // the control node could not be opened
  kNoControllers,      // `all`: no controller answered
  kControllerAbsent,   // the numbered controller is not present
};

struct RunMessage {
  std::string Severity;  // "error" or "warning"
  std::string Text;
};

// One run of a machine-readable verb: the selected controllers in number
// order and what went wrong around them.
struct FleetSnapshot {
  std::vector<ControllerSnapshot> Controllers;
  RunFailure Failure = RunFailure::kNone;
  std::vector<RunMessage> Messages;
};

// The words the machine-readable writers use for a volume: its type and RAID
// level (nullptr for a type code no volume has), and its state, one of
// kVolumeStateKeys ("unknown" for any code past the last named one).
const char* VolumeTypeKey(uint8_t type);
const char* RaidLevelKey(uint8_t type);
extern const char* const kVolumeStateKeys[5];
const char* VolumeStateKey(uint8_t state);

// The snake_case key of a disk state ("online", "out_of_sync", ...).
const char* DiskStateKey(DiskState state);

// Whether a snapshot's disk state key names a state that means the disk is
// lost (kLostDiskStates); false when the state is unknown.
bool IsLostDiskKey(const std::optional<std::string>& state);

// The share of a resync done, 0 to 1, from its progress indicator; none when
// the indicator was not read or makes no sense (no total, more remaining than
// the total).  Whether a resync runs at all is `Active`.
std::optional<double> ResyncRatio(const ResyncSnapshot& resync);

// A physical disk's role: "member", "hot_spare" or "none"; nullptr while
// its place is unknown.
const char* PhysicalDiskRoleKey(const PhysicalDiskSnapshot& disk);

// 0 every controller read completely; 1 some read failed; 2 the run found no
// controller to read.
int FleetExitStatus(const FleetSnapshot& fleet);
