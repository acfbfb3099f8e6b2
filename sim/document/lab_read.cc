// Reading a lab or state document into the model. Every key is checked:
// unknown keys (with the keys allowed there and the nearest one), values of
// the wrong kind or outside their field's range, repeated handles, targets,
// numbers and addresses, and members naming no physical disk.
#include <algorithm>

#include "document/lab_defaults.h"
#include "document/record_readers.h"
#include "firmware/page_table.h"
#include "model/errno_names.h"

namespace vxtsim {

namespace {

using doc::FieldReader;
using doc::Obj;
using doc::Problems;

void ReadNode(Obj& top, NodeState& node) {
  FieldReader(top).Object("node", node.given, [&](auto& v) { NodeFields(node, v); });
}

bool IsSasDeviceId(uint16_t id) {
  return std::any_of(std::begin(lab_defaults::kSasDeviceIds), std::end(lab_defaults::kSasDeviceIds),
                     [id](uint8_t sas) { return (id & 0xFF) == sas; });
}

void ReadPci(Obj& ctl, Pci& pci) {
  FieldReader(ctl).Object("pci", pci.given, [&](auto& v) { PciFields(pci, v); });
}

void ReadRuntime(Obj& ctl, Runtime& rt) {
  FieldReader(ctl).Object("runtime", rt.given, [&](auto& v) { RuntimeFields(rt, v); });
}

void ReadKind(Obj& o, Controller& c) {
  Given<std::string> kind;
  doc::Text(o, "kind", kind);
  if (!kind.given) return;
  if (kind.value == "sas") {
    c.kind = ControllerKind::kSas;
  } else if (kind.value == "scsi") {
    c.kind = ControllerKind::kScsi;
  } else {
    o.problems().Add(o.PathOf("kind"), "expected \"sas\" or \"scsi\", got \"" + kind.value + "\"");
  }
}

// The controller's number names it in every line about it, up to the end of
// its object (the caller clears it).
void ReadController(Obj& o, Controller& c) {
  o.problems().where.clear();
  const json* number = o.Take("number");
  if (!number) {
    o.problems().Add(o.path(), "needs a \"number\" from 0 to 255");
  } else if (doc::GivenAt(
                 o.problems(), [&] { return o.PathOf("number"); }, *number, 0xFF, c.number)) {
    o.problems().where = "; in controller " + std::to_string(c.number.value);
  }
  ReadKind(o, c);
  ReadPci(o, c.pci);
  c.sas = c.kind == ControllerKind::kFromPci ? IsSasDeviceId(c.pci.device_id)
                                             : c.kind == ControllerKind::kSas;
  doc::ReadFacts(o, c);
  doc::ReadPages(o, c);
  doc::ReadList(o, "devices", c.devices_given, c.devices,
                [&c](Obj& item, size_t i, Device& d) { doc::ReadDevice(item, c, i, d); });
  doc::ReadList(o, "enclosures", c.enclosures_given, c.enclosures,
                [](Obj& item, size_t i, Enclosure& e) { doc::ReadEnclosure(item, i, e); });
  doc::ReadWalk(o, "device_walk", c.device_walk);
  doc::ReadWalk(o, "enclosure_walk", c.enclosure_walk);
  doc::ReadRaid(o, c);
  ReadRuntime(o, c.runtime);
  doc::CheckController(o.problems(), o.path(), c);
}

// ---------------------------------------------------------------- faults

void ReadMatch(Obj& rule, FaultMatch& m) {
  Obj o(rule.problems(), rule.Take("match"), rule.PathOf("match"));
  m.given = o.present();
  doc::ReadFields(o, m, [](FaultMatch& r, auto& v) { FaultMatchFields(r, v); });
  if (const json* page = o.Take("page")) {
    const PageDef* def = page->is_string() ? FindPageByName(page->get<std::string>()) : nullptr;
    if (def) {
      m.page = IndexOf(*def);
    } else {
      std::vector<std::string> names;
      for (const PageDef& d : PageDirectory()) names.push_back(d.name);
      std::string text = page->is_string() ? page->get<std::string>() : doc::Shown(*page);
      std::string problem = doc::UnknownKey(text, names);
      o.problems().Add(o.PathOf("page"), "unknown page" + problem.substr(problem.find(' ', 8)));
    }
  }
  o.Done();
}

void ReadEffect(Obj& rule, FaultEffect& e) {
  Obj o(rule.problems(), rule.Take("effect"), rule.PathOf("effect"));
  e.given = o.present();
  if (const json* err = o.Take("errno")) {
    if (err->is_string() && ErrnoByName(err->get<std::string>(), e.err.value)) {
      e.err.given = true;
      e.err_name = err->get<std::string>();
    } else if (!doc::ParseGiven(*err, 4095, e.err)) {
      o.problems().Add(o.PathOf("errno"),
                       "expected an errno number or name, got " + doc::Shown(*err));
    }
  }
  doc::ReadFields(o, e, [](FaultEffect& r, auto& v) { FaultEffectFields(r, v); });
  o.Done();
}

void ReadFaultRule(Obj& o, FaultRule& r) {
  ReadMatch(o, r.match);
  ReadEffect(o, r.effect);
  doc::Num(o, "first", r.first);
  doc::Num(o, "nth", r.nth);
  doc::Num(o, "hits", r.hits);
}

void ReadMeta(Obj& top, Model& m) {
  FieldReader(top).Object("vxtsim", m.meta_given, [&](auto& v) { MetaFields(m, v); });
}

}  // namespace

std::vector<std::string> ReadModel(const json& doc, Model& model) {
  Problems p;
  model = Model();
  Obj top(p, &doc, "");
  if (!top.present()) return p.lines;
  ReadNode(top, model.node);
  doc::ReadList(top, "controllers", model.controllers_given, model.controllers,
                [](Obj& o, size_t, Controller& c) { ReadController(o, c); });
  p.where.clear();
  doc::Unique(
      p, "controllers", model.controllers,
      [](const Controller& c) {
        return c.number.given ? std::optional<uint32_t>(c.number.value) : std::nullopt;
      },
      [](uint32_t k) { return doc::Named("number", k); });
  doc::ReadList(top, "faults", model.faults_given, model.faults,
                [](Obj& o, size_t, FaultRule& r) { ReadFaultRule(o, r); });
  ReadMeta(top, model);
  top.Done();
  for (std::string& line : p.lines) {
    if (line.rfind(": ", 0) == 0) line = "top level" + line;
  }
  return p.lines;
}

Model ModelOf(const json& doc, const std::string& origin) {
  Model model;
  std::vector<std::string> problems = ReadModel(doc, model);
  if (!problems.empty()) throw LabError(origin + ": " + problems.front());
  return model;
}

void CheckLab(const json& lab) { ModelOf(lab, "lab"); }

}  // namespace vxtsim
