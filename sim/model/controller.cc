#include "controller.h"

#include "page_table.h"

namespace vxtsim {

json* FindController(json& state, uint32_t number) {
  if (!state.contains("controllers") || !state["controllers"].is_array()) return nullptr;
  for (json& ctl : state["controllers"]) {
    if (Num(ctl, "number", ~uint64_t{0}) == number) return &ctl;
  }
  return nullptr;
}

const json* FindController(const json& state, uint32_t number) {
  for (const json& ctl : List(state, "controllers")) {
    if (Num(ctl, "number", ~uint64_t{0}) == number) return &ctl;
  }
  return nullptr;
}

bool IsSasController(const json& ctl) {
  std::string kind = Text(ctl, "kind", "");
  if (kind == "sas") return true;
  if (kind == "scsi") return false;
  switch (Num(Member(ctl, "pci"), "device_id", 0x54) & 0xFF) {
    case 0x50: case 0x54: case 0x56: case 0x58: case 0x5A: case 0x5C: case 0x5E: case 0x62:
      return true;
    default:
      return false;
  }
}

uint8_t IocNumber(const json& ctl) {
  return static_cast<uint8_t>(Num(Member(ctl, "ioc_facts"), "ioc_number", Num(ctl, "number", 0)));
}

const json& PageConfig(const json& ctl, const char* page) {
  return Member(Member(ctl, "pages"), page);
}

uint64_t PageField(const json& ctl, const char* page, const char* field) {
  uint64_t fallback = 0;
  if (const PageDef* def = FindPageByName(page)) {
    for (const FieldDef& f : def->fields) {
      if (std::string(f.name) == field) fallback = f.fallback;
    }
  }
  return Num(PageConfig(ctl, page), field, fallback);
}

const json* FindDeviceAtTarget(const json& ctl, uint32_t target) {
  for (const json& dev : List(ctl, "devices")) {
    if (!Member(dev, "target").is_null() && Num(dev, "target", 0) == target &&
        Num(dev, "bus", 0) == 0) {
      return &dev;
    }
  }
  return nullptr;
}

bool IrDisabled(const json& ctl) {
  const json& frozen = Member(Member(ctl, "runtime"), "ir_disabled");
  if (!frozen.is_null()) return Flag(Member(ctl, "runtime"), "ir_disabled", false);
  return (PageField(ctl, "IoUnitPg1", "IoUnitFlags") & 0x40) != 0;
}

}  // namespace vxtsim
