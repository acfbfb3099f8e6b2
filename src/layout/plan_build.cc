// Matching a layout against a controller: which volumes are the layout's,
// what is missing, what is left over, and where a used-up hot spare can be
// restored.
#include <algorithm>
#include <set>

#include "layout/layout_places.h"
#include "layout/plan.h"
#include "report/snapshot.h"

namespace {

constexpr uint64_t kBlocksPerMB = 2048;

// A layout disk found (or not) on the controller.
struct Found {
  const LayoutDisk* Disk = nullptr;
  const DeviceSnapshot* Device = nullptr;  // null when absent
  std::string Why;
};

std::vector<uint8_t> MemberTargets(const VolumeSnapshot& v) {
  std::vector<uint8_t> targets;
  for (const RaidDiskSnapshot& m : v.Members) {
    if (m.Target) targets.push_back(*m.Target);
  }
  return targets;
}

bool Contains(const std::vector<uint8_t>& list, uint8_t t) {
  return std::find(list.begin(), list.end(), t) != list.end();
}

struct Vacated {
  const Found* Place;
  uint8_t VolumeId;
};

struct SpareState {
  const Found* Listed = nullptr;
  const VolumeSnapshot* Volume = nullptr;  // the matched volume it is a member of
  const Found* Replacement = nullptr;      // the place that member left
};

class Planner {
 public:
  Planner(const ControllerSnapshot& s, const LayoutController& l) : s_(s), l_(l) {
    plan_.Controller = l.Controller;
  }

  ControllerPlan Run() {
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

 private:
  Found Find(const LayoutDisk& d) {
    Found f;
    f.Disk = &d;
    f.Device = DeviceAtPlace(s_, d.Place, &f.Why);
    return f;
  }

  void Refuse(const std::string& where, const std::string& why) {
    plan_.Refusals.push_back(where + ": " + why);
  }

  // Two places of the layout (a target ID and an Encl:Bay) may name one disk.
  bool NoTargetTwice() {
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

  size_t Shared(size_t li, size_t ci) const {
    std::vector<uint8_t> members = MemberTargets(s_.Volumes[ci]);
    size_t n = 0;
    for (const Found& f : volumes_[li]) {
      if (f.Device != nullptr && Contains(members, f.Device->Target)) ++n;
    }
    return n;
  }

  // Each volume matches at most one, the pairs sharing most disks first.
  void MatchVolumes() {
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

  std::string Places(const std::vector<uint8_t>& targets) const {
    std::string text;
    for (uint8_t t : targets) AppendJoined(&text, " ", PlaceText(PlaceOfTarget(s_, t)));
    return text;
  }

  void CheckPin(const Found& f) {
    if (!f.Disk->Serial || f.Device == nullptr) return;
    if (!f.Device->Serial) {
      Refuse(f.Disk->Where, "the serial number of the disk in " + PlaceText(f.Disk->Place) +
                                " could not be read to check the pin");
    } else if (*f.Device->Serial != *f.Disk->Serial) {
      Refuse(f.Disk->Where, "the disk in " + PlaceText(f.Disk->Place) + " has serial " +
                                *f.Device->Serial + ", the layout pins " + *f.Disk->Serial);
    }
  }

  // A matched volume is never changed: what differs is reported only.
  void CompareMatched(size_t li, size_t ci) {
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
      plan_.Drift.push_back("volume " + std::to_string(cv.VolumeId) + " (" +
                            LayoutTypeWord(cv.Type) + "): members " + Places(members) +
                            ", the layout lists " + layout_places);
    }
    if (lv.SizeMB && cv.SizeBlocks / kBlocksPerMB != *lv.SizeMB) {
      plan_.Drift.push_back("volume " + std::to_string(cv.VolumeId) + ": size " +
                            std::to_string(cv.SizeBlocks / kBlocksPerMB) + " MB, the layout says " +
                            std::to_string(*lv.SizeMB) + " MB");
    }
  }

  PlanDisk DiskOf(uint8_t target) const {
    const DeviceSnapshot* d = DeviceAtTarget(s_, target);
    return {PlaceOfTarget(s_, target), target, d ? d->Serial : std::nullopt};
  }

  void LeftOverVolumes() {
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

  bool ListedAsSpare(uint8_t target) const {
    for (const SpareState& st : states_) {
      if (SpareHolder(st) == target) return true;
    }
    return false;
  }

  void LeftOverSpares() {
    for (const RaidDiskSnapshot& spare : s_.HotSpares) {
      if (!spare.Target || ListedAsSpare(*spare.Target)) continue;
      if (!l_.Prune) {
        plan_.Drift.push_back("hot spare " + PlaceText(PlaceOfTarget(s_, *spare.Target)) +
                              " is not in the layout and is kept (prune is false)");
        continue;
      }
      PlanAction a;
      a.Kind = PlanActionKind::kRemoveHotSpare;
      a.Disks.push_back(DiskOf(*spare.Target));
      freed_.insert(*spare.Target);
      removes_.push_back(a);
    }
  }

  // What holds `target` now and is not freed by this plan, or "".
  std::string Holder(uint8_t target) const {
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
  bool Eligible(const Found& f) {
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

  void CreateVolume(size_t li) {
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
      a.Disks.push_back({f.Disk->Place, f.Device->Target, f.Device->Serial});
    }
    if (usable) creates_.push_back(a);
  }

  void AddSpare(const Found& f, std::optional<PlanDisk> in_place_of, uint8_t volume_id) {
    if (!Eligible(f)) return;
    PlanAction a;
    a.Kind = PlanActionKind::kAddHotSpare;
    a.Disks.push_back({f.Disk->Place, f.Device->Target, f.Device->Serial});
    a.InPlaceOf = in_place_of;
    a.VolumeId = volume_id;
    adds_.push_back(a);
  }

  // The matched volume that `target` is now a member of, or null.
  const VolumeSnapshot* MatchedVolumeHolding(uint8_t target) const {
    for (size_t ci = 0; ci < s_.Volumes.size(); ++ci) {
      if (taken_[ci] && Contains(MemberTargets(s_.Volumes[ci]), target)) return &s_.Volumes[ci];
    }
    return nullptr;
  }

  bool IsHotSpare(uint8_t target) const {
    for (const RaidDiskSnapshot& spare : s_.HotSpares) {
      if (spare.Target == target) return true;
    }
    return false;
  }

  // Where each listed hot spare stands now.  A spare that took over in a
  // volume of the layout is stood for by the place its member left: a disk
  // back in that place is (or becomes) the hot spare.
  void PairSpares() {
    for (const Found& f : spares_) {
      SpareState st;
      st.Listed = &f;
      if (f.Device == nullptr || IsHotSpare(f.Device->Target)) {
        states_.push_back(st);
        continue;
      }
      st.Volume = MatchedVolumeHolding(f.Device->Target);
      if (st.Volume != nullptr) {
        for (auto it = vacated_.begin(); it != vacated_.end(); ++it) {
          if (it->VolumeId != st.Volume->VolumeId) continue;
          st.Replacement = it->Place;
          vacated_.erase(it);
          break;
        }
      }
      states_.push_back(st);
    }
  }

  // The target that holds the listed spare's role now, if any.
  std::optional<uint8_t> SpareHolder(const SpareState& st) const {
    if (st.Listed->Device == nullptr) return std::nullopt;
    if (st.Volume == nullptr) return st.Listed->Device->Target;
    if (st.Replacement != nullptr && st.Replacement->Device != nullptr)
      return st.Replacement->Device->Target;
    return std::nullopt;
  }

  void ListedSpare(const SpareState& st) {
    const Found& f = *st.Listed;
    if (f.Device == nullptr) {
      Refuse(f.Disk->Where, f.Why);
      return;
    }
    const uint8_t target = f.Device->Target;
    if (st.Volume == nullptr) {
      CheckPin(f);
      if (!IsHotSpare(target)) AddSpare(f, std::nullopt, 0);
      return;
    }
    const std::string volume = std::to_string(st.Volume->VolumeId);
    if (st.Replacement == nullptr) {
      Refuse(f.Disk->Where,
             "hot spare " + PlaceText(f.Disk->Place) + " is a member of volume " + volume);
      return;
    }
    const Found& place = *st.Replacement;
    if (place.Device == nullptr) {
      Refuse(f.Disk->Where, "hot spare " + PlaceText(f.Disk->Place) +
                                " is now a member of volume " + volume + " and " + place.Why +
                                " to take its place");
      return;
    }
    if (IsHotSpare(place.Device->Target)) return;
    AddSpare(place, DiskOf(target), st.Volume->VolumeId);
  }

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

}  // namespace

ControllerPlan BuildPlan(const ControllerSnapshot& snapshot, const LayoutController& layout) {
  return Planner(snapshot, layout).Run();
}
