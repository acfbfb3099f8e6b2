// The hot spares of a plan: those the layout lists and the controller
// lacks, those it has and the layout does not list, and the one used up by a
// takeover, restored in the place its member left.
#include "layout/layout_places.h"
#include "layout/planner.h"

bool Planner::ListedAsSpare(uint8_t target) const {
  for (const SpareState& st : states_) {
    if (SpareHolder(st) == target) return true;
  }
  return false;
}

void Planner::LeftOverSpares() {
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

void Planner::AddSpare(const Found& f, std::optional<PlanDisk> in_place_of, uint8_t volume_id) {
  if (!Eligible(f)) return;
  PlanAction a;
  a.Kind = PlanActionKind::kAddHotSpare;
  a.Disks.push_back({f.Disk->Place, f.Device->Target, SerialOf(f.Device)});
  a.InPlaceOf = in_place_of;
  a.VolumeId = volume_id;
  adds_.push_back(a);
}

// The matched volume that `target` is now a member of, or null.
const VolumeSnapshot* Planner::MatchedVolumeHolding(uint8_t target) const {
  for (size_t ci = 0; ci < s_.Volumes.size(); ++ci) {
    if (taken_[ci] && Contains(MemberTargets(s_.Volumes[ci]), target)) return &s_.Volumes[ci];
  }
  return nullptr;
}

bool Planner::IsHotSpare(uint8_t target) const {
  for (const RaidDiskSnapshot& spare : s_.HotSpares) {
    if (spare.Target == target) return true;
  }
  return false;
}

// Where each listed hot spare stands now.  A spare that took over in a
// volume of the layout is stood for by the place its member left: a disk
// back in that place is (or becomes) the hot spare.
void Planner::PairSpares() {
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
std::optional<uint8_t> Planner::SpareHolder(const SpareState& st) const {
  if (st.Listed->Device == nullptr) return std::nullopt;
  if (st.Volume == nullptr) return st.Listed->Device->Target;
  if (st.Replacement != nullptr && st.Replacement->Device != nullptr)
    return st.Replacement->Device->Target;
  return std::nullopt;
}

void Planner::ListedSpare(const SpareState& st) {
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
    Refuse(f.Disk->Where, "hot spare " + PlaceText(f.Disk->Place) + " is now a member of volume " +
                              volume + " and " + place.Why + " to take its place");
    return;
  }
  if (IsHotSpare(place.Device->Target)) return;
  AddSpare(place, DiskOf(target), st.Volume->VolumeId);
}
