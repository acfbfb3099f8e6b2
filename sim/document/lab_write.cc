// Writing the model back as a state document: every value that was given, or
// that the model has set since, under its key; numbers keep the spelling the
// lab gave them, so a state reads like the lab it was made from.
#include <cstdio>

#include "document/record_fields.h"
#include "document/state_file.h"
#include "firmware/page_table.h"
#include "model/errno_names.h"

namespace vxtsim {

namespace {

json Spelled(uint64_t v, Spelling spelling, int width) {
  char text[40];
  auto n = static_cast<unsigned long long>(v);
  switch (spelling) {
    case Spelling::kNumber:
      return v;
    case Spelling::kDecimal:
      return std::to_string(v);
    case Spelling::kHexLower:
      std::snprintf(text, sizeof text, "0x%0*llx", width, n);
      return text;
    case Spelling::kHexUpper:
      std::snprintf(text, sizeof text, "0x%0*llX", width, n);
      return text;
    case Spelling::kOctal:
      std::snprintf(text, sizeof text, "0%0*llo", width, n);
      return text;
  }
  return v;
}

template <typename T>
void Put(json& o, const char* key, const Given<T>& g) {
  if (g.given) o[key] = Spelled(static_cast<uint64_t>(g.value), g.spelling, g.width);
}

void Put(json& o, const char* key, const Given<bool>& g) {
  if (!g.given) return;
  if (g.spelling == Spelling::kNumber) {
    o[key] = g.value;
  } else {
    o[key] = g.value ? 1 : 0;
  }
}

void Put(json& o, const char* key, const Given<std::string>& g) {
  if (g.given) o[key] = g.value;
}

// Sub-objects appear when the lab had them or the model has put something in.
void PutObject(json& o, const char* key, bool given, json sub) {
  if (given || !sub.empty()) o[key] = sub.is_null() ? json::object() : std::move(sub);
}

void PutList(json& o, const char* key, bool given, json list) {
  if (given || !list.empty()) o[key] = list.is_null() ? json::array() : std::move(list);
}

// Writes the keys a record lists (record_fields.h) into one object.
class FieldWriter {
 public:
  explicit FieldWriter(json& o) : o_(o) {}

  template <typename T>
  void Field(const char* key, const Given<T>& g, uint64_t /*max*/ = 0) {
    Put(o_, key, g);
  }

  template <typename E, size_t N>
  void OneOf(const char* key, const Given<E>& g, const Name<E> (&names)[N]) {
    if (!g.given) return;
    for (const auto& [name, value] : names) {
      if (value == g.value) {
        o_[key] = name;
        return;
      }
    }
  }

  template <typename Fields>
  void Object(const char* key, bool given, Fields fields) {
    json sub = json::object();
    FieldWriter writer(sub);
    fields(writer);
    PutObject(o_, key, given, std::move(sub));
  }

 private:
  json& o_;
};

template <typename Record, typename Fields>
json FieldsJson(const Record& r, Fields fields) {
  json o = json::object();
  FieldWriter writer(o);
  fields(r, writer);
  return o;
}

json PatchesJson(const Patches& p) {
  json o = json::object();
  for (const Patch& patch : p.list) o[patch.key] = patch.text;
  return o;
}

void PutPatches(json& o, const char* key, const Patches& p) {
  if (p.given) o[key] = PatchesJson(p);
}

void PutBlocks(json& o, const BlockStore& b) {
  if (!b.given) return;
  json blocks = json::object();
  for (const auto& [lba, block] : b.blocks) blocks[std::to_string(lba)] = block.text;
  o["block_data"] = blocks;
}

void PageValuesJson(const PageDef& def, const PageValues& values, json& o) {
  for (size_t f = 0; f < def.fields.size(); ++f) Put(o, def.fields[f].name, values.fields[f]);
  PutPatches(o, "bytes", values.bytes);
}

json PagesJson(const Controller& c) {
  json pages = json::object();
  for (const PageDef& def : PageDirectory()) {
    const PageState& page = c.pages[IndexOf(def)];
    if (!page.given) continue;
    json o = json::object();
    Put(o, "absent", page.absent);
    Put(o, "PageVersion", page.version);
    Put(o, "PageLength", page.length);
    PageValuesJson(def, page.current, o);
    if (page.has_nvram) {
      json nvram = json::object();
      PageValuesJson(def, page.nvram, nvram);
      o["nvram"] = nvram;
    }
    pages[def.name] = o;
  }
  return pages;
}

json DeviceJson(const Device& d) {
  json o = FieldsJson(d, [](const Device& r, auto& v) { DeviceFields(r, v); });
  if (d.vpd_pages_given) o["vpd_pages"] = d.vpd_pages;
  PutPatches(o, "inquiry_bytes", d.inquiry_bytes);
  PutPatches(o, "page_bytes", d.page_bytes);
  PutBlocks(o, d.block_data);
  return o;
}

json EnclosureJson(const Enclosure& e) {
  json o = FieldsJson(e, [](const Enclosure& r, auto& v) { EnclosureFields(r, v); });
  PutPatches(o, "page_bytes", e.page_bytes);
  if (e.slot_status_given) {
    json status = json::object();
    for (const auto& [slot, word] : e.slot_status) Put(status, std::to_string(slot).c_str(), word);
    o["slot_status"] = status;
  }
  return o;
}

void PutWalk(json& o, const char* key, const Walk& w) {
  if (!w.given) return;
  json walk = json::object();
  for (const auto& [from, to] : w.next) Put(walk, std::to_string(from).c_str(), to);
  o[key] = walk;
}

json PhysDiskJson(const PhysDisk& pd) {
  json o = FieldsJson(pd, [](const PhysDisk& r, auto& v) { PhysDiskFields(r, v); });
  PutPatches(o, "page_bytes", pd.page_bytes);
  return o;
}

json VolumeJson(const Volume& v) {
  json o = FieldsJson(v, [](const Volume& r, auto& fields) { VolumeFields(r, fields); });
  if (!v.type_name.empty()) {
    o["type"] = v.type_name;
  } else {
    Put(o, "type", v.type);
  }
  json members = json::array();
  for (const VolumeMember& m : v.members) {
    if (!m.as_object) {
      members.push_back(m.num);
      continue;
    }
    json member = {{"num", m.num}};
    if (m.map_given) member["map"] = m.map;
    members.push_back(member);
  }
  PutList(o, "members", v.members_given, members);
  PutBlocks(o, v.block_data);
  PutPatches(o, "page_bytes", v.page_bytes);
  return o;
}

template <typename Item, typename Write>
json ListJson(const std::vector<Item>& items, Write write) {
  json list = json::array();
  for (const Item& item : items) list.push_back(write(item));
  return list;
}

json ControllerJson(const Controller& c) {
  json o = json::object();
  Put(o, "number", c.number);
  if (c.kind == ControllerKind::kSas) o["kind"] = "sas";
  if (c.kind == ControllerKind::kScsi) o["kind"] = "scsi";

  FieldWriter writer(o);
  writer.Object("pci", c.pci.given, [&](auto& v) { PciFields(c.pci, v); });
  const IocFacts& f = c.ioc_facts;
  json facts = FieldsJson(f, [](const IocFacts& r, auto& v) { IocFactsFields(r, v); });
  if (!f.firmware_version_text.empty()) {
    facts["firmware_version"] = f.firmware_version_text;
  } else {
    Put(facts, "firmware_version", f.firmware_version);
  }
  PutObject(o, "ioc_facts", f.given, facts);
  writer.Object("port_facts", c.port_facts.given,
                [&](auto& v) { PortFactsFields(c.port_facts, v); });
  PutObject(o, "pages", c.pages_given, PagesJson(c));
  PutList(o, "devices", c.devices_given, ListJson(c.devices, DeviceJson));
  PutList(o, "enclosures", c.enclosures_given, ListJson(c.enclosures, EnclosureJson));
  PutWalk(o, "device_walk", c.device_walk);
  PutWalk(o, "enclosure_walk", c.enclosure_walk);

  json raid = json::object();
  PutList(raid, "phys_disks", c.raid.phys_disks_given, ListJson(c.raid.phys_disks, PhysDiskJson));
  PutList(raid, "volumes", c.raid.volumes_given, ListJson(c.raid.volumes, VolumeJson));
  PutObject(o, "raid", c.raid.given, raid);

  writer.Object("runtime", c.runtime.given, [&](auto& v) { RuntimeFields(c.runtime, v); });
  return o;
}

json FaultJson(const FaultRule& r) {
  json o = json::object();
  const FaultMatch& m = r.match;
  json match = FieldsJson(m, [](const FaultMatch& rec, auto& v) { FaultMatchFields(rec, v); });
  if (m.page.given) match["page"] = PageDirectory()[m.page.value].name;
  PutObject(o, "match", m.given, match);

  const FaultEffect& e = r.effect;
  json effect = FieldsJson(e, [](const FaultEffect& rec, auto& v) { FaultEffectFields(rec, v); });
  if (!e.err_name.empty()) {
    effect["errno"] = e.err_name;
  } else {
    Put(effect, "errno", e.err);
  }
  PutObject(o, "effect", e.given, effect);
  Put(o, "first", r.first);
  Put(o, "nth", r.nth);
  Put(o, "hits", r.hits);
  return o;
}

}  // namespace

json WriteModel(const Model& m) {
  json doc = json::object();
  FieldWriter writer(doc);
  writer.Object("node", m.node.given, [&](auto& v) { NodeFields(m.node, v); });
  PutList(doc, "controllers", m.controllers_given, ListJson(m.controllers, ControllerJson));
  PutList(doc, "faults", m.faults_given, ListJson(m.faults, FaultJson));
  writer.Object("vxtsim", m.meta_given, [&](auto& v) { MetaFields(m, v); });
  return doc;
}

}  // namespace vxtsim
