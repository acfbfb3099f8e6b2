#include "layout/layout_places.h"

namespace {

// Encl numbers count the enclosures from 1 in handle order, as CREATE's
// Encl:Bay words do.
std::optional<uint16_t> EnclosureHandle(const ControllerSnapshot& s, uint16_t number) {
  if (number == 0 || number > s.Enclosures.size()) return std::nullopt;
  return s.Enclosures[number - 1].Enclosure;
}

}  // namespace

const DeviceSnapshot* DeviceAtTarget(const ControllerSnapshot& s, uint8_t target) {
  for (const DeviceSnapshot& d : s.Devices) {
    if (d.Target == target) return &d;
  }
  return nullptr;
}

const DeviceSnapshot* DeviceAtPlace(const ControllerSnapshot& s, const LayoutPlace& place,
                                    std::string* why) {
  if (!place.EnclBay) {
    const DeviceSnapshot* d =
        place.Target <= 0xFF ? DeviceAtTarget(s, static_cast<uint8_t>(place.Target)) : nullptr;
    if (d == nullptr) *why = "no device answers at target " + std::to_string(place.Target);
    return d;
  }
  if (!s.Sas) {
    *why = "Encl:Bay places exist on SAS controllers only";
    return nullptr;
  }
  std::optional<uint16_t> handle = EnclosureHandle(s, place.Enclosure);
  if (!handle) {
    *why = "there is no enclosure " + std::to_string(place.Enclosure);
    return nullptr;
  }
  const DeviceSnapshot* found = nullptr;
  for (const DeviceSnapshot& d : s.Devices) {
    if (d.Enclosure != handle || d.Slot != place.Bay) continue;
    if (found != nullptr) {
      *why = "more than one device sits in " + PlaceText(place);
      return nullptr;
    }
    found = &d;
  }
  if (found == nullptr) *why = "no disk sits in " + PlaceText(place);
  return found;
}

LayoutPlace PlaceOfTarget(const ControllerSnapshot& s, uint8_t target) {
  const DeviceSnapshot* d = DeviceAtTarget(s, target);
  if (s.Sas && d != nullptr && d->Enclosure && d->Slot) {
    for (size_t i = 0; i < s.Enclosures.size(); ++i) {
      if (s.Enclosures[i].Enclosure == *d->Enclosure)
        return {true, static_cast<uint16_t>(i + 1), *d->Slot, 0};
    }
  }
  return {false, 0, 0, target};
}
