// The planner's state while it matches one layout entry against one
// controller: shared by the volume part (plan_build.cc) and the hot-spare
// part (plan_spares.cc).
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "layout/plan.h"

// A layout disk found (or not) on the controller.
struct Found {
  const LayoutDisk* Disk = nullptr;
  const DeviceSnapshot* Device = nullptr;  // null when absent
  std::string Why;
};

// A place a matched volume's member left, which a replacement may fill.
struct Vacated {
  const Found* Place;
  uint8_t VolumeId;
};

// Where a listed hot spare stands now.
struct SpareState {
  const Found* Listed = nullptr;
  const VolumeSnapshot* Volume = nullptr;  // the matched volume it is a member of
  const Found* Replacement = nullptr;      // the place that member left
};

// The device's serial number as the plan carries it (SerialText), if known.
std::optional<std::string> SerialOf(const DeviceSnapshot* device);

// The target IDs of the volume's members whose pages could be read.
std::vector<uint8_t> MemberTargets(const VolumeSnapshot& volume);

inline bool Contains(const std::vector<uint8_t>& list, uint8_t target) {
  for (uint8_t t : list) {
    if (t == target) return true;
  }
  return false;
}

class Planner {
 public:
  Planner(const ControllerSnapshot& s, const LayoutController& l) : s_(s), l_(l) {
    plan_.Controller = l.Controller;
  }
  ControllerPlan Run();

 private:
  Found Find(const LayoutDisk& d);
  void Refuse(const std::string& where, const std::string& why);
  // Two places of the layout (a target ID and an Encl:Bay) may name one disk.
  bool NoTargetTwice();
  size_t Shared(size_t li, size_t ci) const;
  // Each volume matches at most one, the pairs sharing most disks first.
  void MatchVolumes();
  std::string Places(const std::vector<uint8_t>& targets) const;
  void CheckPin(const Found& f);
  // A matched volume is never changed: what differs is reported only.
  void CompareMatched(size_t li, size_t ci);
  PlanDisk DiskOf(uint8_t target) const;
  void LeftOverVolumes();
  bool ListedAsSpare(uint8_t target) const;
  void LeftOverSpares();
  // What holds `target` now and is not freed by this plan, or "".
  std::string Holder(uint8_t target) const;
  // As CREATE and HOTSPARE would judge the disk from what was read.
  bool Eligible(const Found& f);
  void CreateVolume(size_t li);
  void AddSpare(const Found& f, std::optional<PlanDisk> in_place_of, uint8_t volume_id);
  // The matched volume that `target` is now a member of, or null.
  const VolumeSnapshot* MatchedVolumeHolding(uint8_t target) const;
  bool IsHotSpare(uint8_t target) const;
  // Where each listed hot spare stands now.  A spare that took over in a
  // volume of the layout is stood for by the place its member left: a disk
  // back in that place is (or becomes) the hot spare.
  void PairSpares();
  // The target that holds the listed spare's role now, if any.
  std::optional<uint8_t> SpareHolder(const SpareState& st) const;
  void ListedSpare(const SpareState& st);

  const ControllerSnapshot& s_;
  const LayoutController& l_;
  ControllerPlan plan_;
  std::vector<std::vector<Found>> volumes_;
  std::vector<Found> spares_;
  std::vector<int> match_;
  std::vector<bool> taken_;
  std::vector<Vacated> vacated_;
  std::vector<SpareState> states_;
  std::set<uint8_t> freed_, claimed_;
  std::vector<PlanAction> removes_, deletes_, creates_, adds_;
};
