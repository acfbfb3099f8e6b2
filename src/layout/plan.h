// The plan: what must change for a controller to have its layout, in the
// order `apply` carries it out, worked out from the controller's snapshot
// alone.  Nothing here sends a request.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "layout/layout_document.h"
#include "monitor/snapshot.h"

// A disk as the plan names it: where, which target, which disk.
struct PlanDisk {
  LayoutPlace Place;
  uint8_t Target = 0;
  std::optional<std::string> Serial;
};

enum class PlanActionKind { kRemoveHotSpare, kDeleteVolume, kCreateVolume, kAddHotSpare };

struct PlanAction {
  PlanActionKind Kind = PlanActionKind::kCreateVolume;
  bool Destructive = false;
  uint8_t VolumeType = 0;          // create and delete
  uint8_t VolumeId = 0;            // delete; for a spare in place of another, its volume
  std::vector<PlanDisk> Disks;     // the volume's members, or the one hot spare
  std::optional<uint64_t> SizeMB;  // create: unset is the largest size
  bool QuickSync = false;
  std::optional<PlanDisk> InPlaceOf;  // add: the spare that took over in a volume
};

// The controller's limits the actions are measured against.
struct PlanLimits {
  uint32_t CapabilityFlags = 0;
  uint8_t MaxVolumes = 0;
  uint8_t MaxHotSpares = 0;
  uint8_t MaxPhysDisks = 0;
  uint8_t MinDrives[3] = {};  // by type code
  uint8_t MaxDrives[3] = {};
  uint32_t MetadataBlocks = 0;  // what each member keeps back, as HOTSPARE reads it
  bool SsdMixAllowed = false;   // SSDs of both interfaces may meet
};

struct ControllerPlan {
  uint32_t Controller = 0;
  std::vector<PlanAction> Actions;    // in the order they are carried out
  std::vector<std::string> Drift;     // differences left alone
  std::vector<std::string> Refusals;  // why the layout cannot be carried out
};

// Matches the layout against the snapshot and lists the actions.  Refusals
// are filled when a disk is absent, pinned to another serial, ineligible or
// held by what the layout does not list.
ControllerPlan BuildPlan(const ControllerSnapshot& snapshot, const LayoutController& layout);

// The plan's one-line text of an action, naming its disks by place, target
// and serial.
std::string ActionText(const PlanAction& action);

inline bool InSync(const ControllerPlan& plan) {
  return plan.Actions.empty() && plan.Refusals.empty();
}
