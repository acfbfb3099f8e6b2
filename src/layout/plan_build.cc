// Matching a layout against a controller: which volumes are the layout's,
// what is missing and what is left over.  The hot spares are plan_spares.cc's.
#include <algorithm>

#include "layout/layout_places.h"
#include "layout/layout_words.h"
#include "layout/planner.h"

namespace {

constexpr uint64_t kBlocksPerMB = 2048;

}  // namespace

std::optional<std::string> SerialOf(const DeviceSnapshot* d) {
  if (d == nullptr || !d->Serial) return std::nullopt;
  return SerialText(*d->Serial);
}

std::vector<uint8_t> MemberTargets(const VolumeSnapshot& v) {
  std::vector<uint8_t> targets;
  for (const RaidDiskSnapshot& m : v.Members) {
    if (m.Target) targets.push_back(*m.Target);
  }
  return targets;
}

ControllerPlan Planner::Run() {
  for (const LayoutVolume& v : l_.Volumes) {
    volumes_.emplace_back();
    for (const LayoutDisk& d : v.Disks) volumes_.back().push_back(Find(d));
  }
  for (const LayoutDisk& d : l_.HotSpares) spares_.push_back(Find(d));
  if (!NoTargetTwice()) return plan_;
  MatchVolumes();
  for (size_t li = 0; li < l_.Volumes.size(); ++li) {
    if (match_[li] >= 0) CompareMatched(li, static_cast<size_t>(match_[li]));
  }
  PairSpares();
  LeftOverVolumes();
  LeftOverSpares();
  for (size_t li = 0; li < l_.Volumes.size(); ++li) {
    if (match_[li] < 0) CreateVolume(li);
  }
  for (const SpareState& st : states_) ListedSpare(st);
  for (auto* list : {&removes_, &deletes_, &creates_, &adds_}) {
    plan_.Actions.insert(plan_.Actions.end(), list->begin(), list->end());
  }
  return plan_;
}

Found Planner::Find(const LayoutDisk& d) {
  Found f;
  f.Disk = &d;
  f.Device = DeviceAtPlace(s_, d.Place, &f.Why);
  return f;
}

void Planner::Refuse(const std::string& where, const std::string& why) {
  plan_.Refusals.push_back(where + ": " + why);
}

// Two places of the layout (a target ID and an Encl:Bay) may name one disk.
bool Planner::NoTargetTwice() {
  std::set<uint8_t> seen;
  auto check = [&](const Found& f) {
    if (f.Device == nullptr) return;
    if (!seen.insert(f.Device->Target).second)
      Refuse(f.Disk->Where, "target " + std::to_string(f.Device->Target) +
                                " is named twice under different places");
  };
  for (const auto& v : volumes_) std::for_each(v.begin(), v.end(), check);
  std::for_each(spares_.begin(), spares_.end(), check);
  return plan_.Refusals.empty();
}

size_t Planner::Shared(size_t li, size_t ci) const {
  std::vector<uint8_t> members = MemberTargets(s_.Volumes[ci]);
  size_t n = 0;
  for (const Found& f : volumes_[li]) {
    if (f.Device != nullptr && Contains(members, f.Device->Target)) ++n;
  }
  return n;
}

// Each volume matches at most one, the pairs sharing most disks first.
void Planner::MatchVolumes() {
  match_.assign(l_.Volumes.size(), -1);
  taken_.assign(s_.Volumes.size(), false);
  struct Pair {
    size_t Li, Ci, Shared;
  };
  std::vector<Pair> pairs;
  for (size_t li = 0; li < l_.Volumes.size(); ++li) {
    for (size_t ci = 0; ci < s_.Volumes.size(); ++ci) {
      if (l_.Volumes[li].Type != s_.Volumes[ci].Type) continue;
      if (size_t n = Shared(li, ci)) pairs.push_back({li, ci, n});
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& a, const Pair& b) { return a.Shared > b.Shared; });
  for (const Pair& p : pairs) {
    if (match_[p.Li] >= 0 || taken_[p.Ci]) continue;
    match_[p.Li] = static_cast<int>(p.Ci);
    taken_[p.Ci] = true;
  }
}

std::string Planner::Places(const std::vector<uint8_t>& targets) const {
  std::string text;
  for (uint8_t t : targets) AppendJoined(&text, " ", PlaceText(PlaceOfTarget(s_, t)));
  return text;
}

void Planner::CheckPin(const Found& f) {
  if (!f.Disk->Serial || f.Device == nullptr) return;
  if (!f.Device->Serial) {
    Refuse(f.Disk->Where, "the serial number of the disk in " + PlaceText(f.Disk->Place) +
                              " could not be read to check the pin");
  } else if (SerialText(*f.Device->Serial) != *f.Disk->Serial) {
    Refuse(f.Disk->Where, "the disk in " + PlaceText(f.Disk->Place) + " has serial " +
                              SerialText(*f.Device->Serial) + ", the layout pins " +
                              *f.Disk->Serial);
  }
}

// A matched volume is never changed: what differs is reported only.
void Planner::CompareMatched(size_t li, size_t ci) {
  const VolumeSnapshot& cv = s_.Volumes[ci];
  const LayoutVolume& lv = l_.Volumes[li];
  std::vector<uint8_t> members = MemberTargets(cv);
  std::vector<uint8_t> listed;
  std::string layout_places;
  for (const Found& f : volumes_[li]) {
    AppendJoined(&layout_places, " ", PlaceText(f.Disk->Place));
    if (f.Device != nullptr && Contains(members, f.Device->Target)) {
      CheckPin(f);
      listed.push_back(f.Device->Target);
    } else {
      // The member that was here left the volume; its place may take a
      // replacement disk as the hot spare that stood in for it.
      vacated_.push_back({&f, cv.VolumeId});
    }
  }
  if (listed.size() != members.size() || listed.size() != volumes_[li].size()) {
    plan_.Drift.push_back("volume " + std::to_string(cv.VolumeId) + " (" + LayoutTypeWord(cv.Type) +
                          "): members " + Places(members) + ", the layout lists " + layout_places);
  }
  if (lv.SizeMB && cv.SizeBlocks / kBlocksPerMB != *lv.SizeMB) {
    plan_.Drift.push_back("volume " + std::to_string(cv.VolumeId) + ": size " +
                          std::to_string(cv.SizeBlocks / kBlocksPerMB) + " MB, the layout says " +
                          std::to_string(*lv.SizeMB) + " MB");
  }
}

PlanDisk Planner::DiskOf(uint8_t target) const {
  const DeviceSnapshot* d = DeviceAtTarget(s_, target);
  return {PlaceOfTarget(s_, target), target, SerialOf(d)};
}

void Planner::LeftOverVolumes() {
  for (size_t ci = 0; ci < s_.Volumes.size(); ++ci) {
    if (taken_[ci]) continue;
    const VolumeSnapshot& cv = s_.Volumes[ci];
    std::vector<uint8_t> members = MemberTargets(cv);
    if (!l_.Prune) {
      plan_.Drift.push_back("volume " + std::to_string(cv.VolumeId) + " (" +
                            LayoutTypeWord(cv.Type) + " on " + Places(members) +
                            ") is not in the layout and is kept (prune is false)");
      continue;
    }
    PlanAction a;
    a.Kind = PlanActionKind::kDeleteVolume;
    a.Destructive = true;
    a.VolumeType = cv.Type;
    a.VolumeId = cv.VolumeId;
    for (uint8_t t : members) {
      a.Disks.push_back(DiskOf(t));
      freed_.insert(t);
    }
    deletes_.push_back(a);
  }
}

// What holds `target` now and is not freed by this plan, or "".
std::string Planner::Holder(uint8_t target) const {
  if (freed_.count(target) != 0) return "";
  for (const VolumeSnapshot& v : s_.Volumes) {
    if (v.VolumeId == target) return "it is the ID of volume " + std::to_string(v.VolumeId);
    if (Contains(MemberTargets(v), target))
      return "it is a member of volume " + std::to_string(v.VolumeId) +
             (l_.Prune ? "" : ", which the layout does not list (prune is false)");
  }
  for (const RaidDiskSnapshot& spare : s_.HotSpares) {
    if (spare.Target == target)
      return "it is a hot spare the layout does not list" +
             std::string(l_.Prune ? "" : " (prune is false)");
  }
  const DeviceSnapshot* d = DeviceAtTarget(s_, target);
  if (d != nullptr && d->PhysicalDisk)
    return "it is RAID physical disk " + std::to_string(*d->PhysicalDisk);
  return "";
}

// As CREATE and HOTSPARE would judge the disk from what was read.
bool Planner::Eligible(const Found& f) {
  if (f.Device == nullptr) {
    Refuse(f.Disk->Where, f.Why);
    return false;
  }
  const DeviceSnapshot& d = *f.Device;
  std::string why = Holder(d.Target);
  if (why.empty() && d.DeviceType != "disk") why = "it is no disk (" + d.DeviceType + ")";
  if (why.empty() && (!d.BlockSize || *d.BlockSize != 512))
    why = d.BlockSize ? "its blocks are not 512 bytes" : "its capacity could not be read";
  if (why.empty() && !claimed_.insert(d.Target).second) why = "the plan uses it twice";
  if (why.empty()) return true;
  Refuse(f.Disk->Where, "the disk in " + PlaceText(f.Disk->Place) + " cannot be used: " + why);
  return false;
}

void Planner::CreateVolume(size_t li) {
  const LayoutVolume& lv = l_.Volumes[li];
  PlanAction a;
  a.Kind = PlanActionKind::kCreateVolume;
  a.VolumeType = lv.Type;
  a.SizeMB = lv.SizeMB;
  a.QuickSync = lv.QuickSync;
  bool usable = true;
  for (const Found& f : volumes_[li]) {
    CheckPin(f);
    if (!Eligible(f)) {
      usable = false;
      continue;
    }
    a.Disks.push_back({f.Disk->Place, f.Device->Target, SerialOf(f.Device)});
  }
  if (usable) creates_.push_back(a);
}

ControllerPlan BuildPlan(const ControllerSnapshot& snapshot, const LayoutController& layout) {
  return Planner(snapshot, layout).Run();
}
