#include "layout/plan_text.h"

#include <nlohmann/json.hpp>

namespace {

using nlohmann::ordered_json;

const char* ActionKey(PlanActionKind kind) {
  switch (kind) {
    case PlanActionKind::kRemoveHotSpare:
      return "remove_hot_spare";
    case PlanActionKind::kDeleteVolume:
      return "delete_volume";
    case PlanActionKind::kCreateVolume:
      return "create_volume";
    case PlanActionKind::kAddHotSpare:
      return "add_hot_spare";
  }
  return "";
}

std::string DiskList(const std::vector<PlanDisk>& disks) {
  std::string text;
  for (const PlanDisk& d : disks) AppendJoined(&text, ", ", PlanDiskText(d));
  return text;
}

ordered_json DiskJson(const PlanDisk& d) {
  ordered_json j;
  j["place"] = PlaceText(d.Place);
  j["target"] = d.Target;
  j["serial"] = d.Serial ? ordered_json(*d.Serial) : ordered_json(nullptr);
  return j;
}

ordered_json ActionJson(const PlanAction& a) {
  ordered_json j;
  j["action"] = ActionKey(a.Kind);
  j["destructive"] = a.Destructive;
  if (a.Kind == PlanActionKind::kCreateVolume || a.Kind == PlanActionKind::kDeleteVolume)
    j["volume_type"] = LayoutTypeWord(a.VolumeType);
  if (a.Kind == PlanActionKind::kDeleteVolume) j["volume_id"] = a.VolumeId;
  if (a.Kind == PlanActionKind::kCreateVolume || a.Kind == PlanActionKind::kDeleteVolume) {
    j["disks"] = ordered_json::array();
    for (const PlanDisk& d : a.Disks) j["disks"].push_back(DiskJson(d));
  } else if (!a.Disks.empty()) {
    j["disk"] = DiskJson(a.Disks[0]);
  }
  if (a.Kind == PlanActionKind::kCreateVolume) {
    j["size_mb"] = a.SizeMB ? ordered_json(*a.SizeMB) : ordered_json("max");
    j["qsync"] = a.QuickSync;
  }
  if (a.InPlaceOf) {
    j["in_place_of"] = DiskJson(*a.InPlaceOf);
    j["volume_id"] = a.VolumeId;
  }
  j["text"] = ActionText(a);
  return j;
}

}  // namespace

std::string PlanDiskText(const PlanDisk& d) {
  std::string text = PlaceText(d.Place) + " (";
  if (d.Place.EnclBay) text += "target " + std::to_string(d.Target) + ", ";
  return text + "serial " + (d.Serial ? *d.Serial : "unknown") + ")";
}

std::string ActionText(const PlanAction& a) {
  switch (a.Kind) {
    case PlanActionKind::kRemoveHotSpare:
      return "remove hot spare " + DiskList(a.Disks);
    case PlanActionKind::kDeleteVolume:
      return "delete volume " + std::to_string(a.VolumeId) + " (" + LayoutTypeWord(a.VolumeType) +
             " on " + DiskList(a.Disks) + "), destroying its data";
    case PlanActionKind::kCreateVolume:
      return std::string("create volume ") + LayoutTypeWord(a.VolumeType) + " on " +
             DiskList(a.Disks) + ", size " +
             (a.SizeMB ? std::to_string(*a.SizeMB) + " MB" : std::string("max")) +
             (a.QuickSync ? ", qsync" : "");
    case PlanActionKind::kAddHotSpare:
      return "add hot spare " + DiskList(a.Disks) +
             (a.InPlaceOf ? ", in place of " + PlaceText(a.InPlaceOf->Place) +
                                ", now a member of volume " + std::to_string(a.VolumeId)
                          : "");
  }
  return "";
}

std::string PlanText(const ControllerPlan& plan) {
  const std::string name = "controller " + std::to_string(plan.Controller);
  std::string text;
  if (!plan.Refusals.empty()) {
    text = name + ": the layout cannot be carried out\n";
  } else if (plan.Actions.empty()) {
    text = name + ": in sync with the layout\n";
  } else {
    text = name + ": " + std::to_string(plan.Actions.size()) +
           (plan.Actions.size() == 1 ? " action" : " actions") + " pending\n";
  }
  for (const PlanAction& a : plan.Actions)
    text += std::string(a.Destructive ? "  ! " : "  + ") + ActionText(a) + "\n";
  for (const std::string& d : plan.Drift) text += "  drift: " + d + "\n";
  return text;
}

std::string PlanJson(const std::vector<ControllerPlan>& plans,
                     const std::vector<std::string>& errors) {
  ordered_json doc;
  doc["volkit_plan_version"] = {kPlanMajorVersion, kPlanMinorVersion};
  doc["controllers"] = ordered_json::array();
  for (const ControllerPlan& p : plans) {
    ordered_json c;
    c["controller"] = p.Controller;
    c["in_sync"] = InSync(p);
    c["actions"] = ordered_json::array();
    for (const PlanAction& a : p.Actions) c["actions"].push_back(ActionJson(a));
    c["drift"] = p.Drift;
    c["refusals"] = p.Refusals;
    doc["controllers"].push_back(c);
  }
  doc["messages"] = ordered_json::array();
  for (const std::string& e : errors)
    doc["messages"].push_back({{"severity", "error"}, {"text", e}});
  return doc.dump(2, ' ', true, ordered_json::error_handler_t::replace) + "\n";
}
