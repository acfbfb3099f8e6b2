// Writing the model back as a state document: every value that was given, or
// that the model has set since, under its key; numbers keep the spelling the
// lab gave them, so a state reads like the lab it was made from.
#include <cstdio>

#include "faults.h"
#include "page_table.h"
#include "state_file.h"

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

json NodeJson(const NodeState& n) {
  json o = json::object();
  Put(o, "exists", n.exists);
  Put(o, "creatable", n.creatable);
  Put(o, "driver_loaded", n.driver_loaded);
  Put(o, "mode", n.mode);
  Put(o, "major", n.major);
  Put(o, "minor", n.minor);
  return o;
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
  json o = json::object();
  Put(o, "handle", d.handle);
  if (d.kind.given) o["kind"] = d.kind.value == DeviceKind::kDisk ? "disk" : "expander";
  Put(o, "target", d.target);
  Put(o, "bus", d.bus);
  if (d.protocol.given) o["protocol"] = d.protocol.value == Protocol::kSas ? "sas" : "sata";
  Put(o, "enclosure", d.enclosure);
  Put(o, "slot", d.slot);
  Put(o, "parent", d.parent);
  Put(o, "phy", d.phy);
  Put(o, "direct", d.direct);
  Put(o, "sas_address", d.sas_address);
  Put(o, "device_info", d.device_info);
  Put(o, "vendor", d.vendor);
  Put(o, "product", d.product);
  Put(o, "revision", d.revision);
  Put(o, "serial", d.serial);
  Put(o, "kvr_fru", d.kvr_fru);
  Put(o, "kvr_part", d.kvr_part);
  Put(o, "ata_model", d.ata_model);
  Put(o, "blocks", d.blocks);
  Put(o, "block_size", d.block_size);
  Put(o, "type", d.type);
  Put(o, "removable", d.removable);
  Put(o, "ssd", d.ssd);
  Put(o, "not_ready", d.not_ready);
  Put(o, "rotation_rate", d.rotation_rate);
  if (d.vpd_pages_given) o["vpd_pages"] = d.vpd_pages;
  PutPatches(o, "inquiry_bytes", d.inquiry_bytes);
  PutPatches(o, "page_bytes", d.page_bytes);
  PutBlocks(o, d.block_data);
  return o;
}

json EnclosureJson(const Enclosure& e) {
  json o = json::object();
  Put(o, "handle", e.handle);
  Put(o, "logical_id", e.logical_id);
  Put(o, "num_slots", e.num_slots);
  Put(o, "start_slot", e.start_slot);
  Put(o, "start_target", e.start_target);
  Put(o, "start_bus", e.start_bus);
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
  json o = json::object();
  Put(o, "num", pd.num);
  Put(o, "target", pd.target);
  Put(o, "bus", pd.bus);
  Put(o, "ioc", pd.ioc);
  Put(o, "state", pd.state);
  Put(o, "status_flags", pd.status_flags);
  Put(o, "hot_spare_pool", pd.hot_spare_pool);
  Put(o, "max_lba", pd.max_lba);
  Put(o, "vendor", pd.vendor);
  Put(o, "product", pd.product);
  Put(o, "revision", pd.revision);
  json smart = json::object();
  Put(smart, "count", pd.smart.count);
  Put(smart, "asc", pd.smart.asc);
  Put(smart, "ascq", pd.smart.ascq);
  PutObject(o, "smart", pd.smart.given, smart);
  PutPatches(o, "page_bytes", pd.page_bytes);
  return o;
}

json VolumeJson(const Volume& v) {
  json o = json::object();
  Put(o, "id", v.id);
  Put(o, "bus", v.bus);
  Put(o, "ioc", v.ioc);
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
  Put(o, "state", v.state);
  Put(o, "inactive", v.inactive);
  Put(o, "status_flags", v.status_flags);
  Put(o, "settings", v.settings);
  Put(o, "hot_spare_pool", v.hot_spare_pool);
  Put(o, "max_lba", v.max_lba);
  Put(o, "wwid", v.wwid);
  Put(o, "serial", v.serial);
  json resync = json::object();
  Put(resync, "total", v.resync.total);
  Put(resync, "remaining", v.resync.remaining);
  Put(resync, "step", v.resync.step);
  PutObject(o, "resync", v.resync.given, resync);
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

  json pci = json::object();
  Put(pci, "device_id", c.pci.device_id);
  Put(pci, "subsystem_vendor_id", c.pci.subsystem_vendor_id);
  Put(pci, "subsystem_device_id", c.pci.subsystem_device_id);
  Put(pci, "bus", c.pci.bus);
  Put(pci, "device", c.pci.device);
  Put(pci, "function", c.pci.function);
  Put(pci, "segment", c.pci.segment);
  PutObject(o, "pci", c.pci.given, pci);

  const IocFacts& f = c.ioc_facts;
  json facts = json::object();
  Put(facts, "ioc_number", f.ioc_number);
  if (!f.firmware_version_text.empty()) {
    facts["firmware_version"] = f.firmware_version_text;
  } else {
    Put(facts, "firmware_version", f.firmware_version);
  }
  Put(facts, "concurrent_commands", f.concurrent_commands);
  Put(facts, "bus_count", f.bus_count);
  Put(facts, "request_frame_words", f.request_frame_words);
  Put(facts, "msg_version", f.msg_version);
  PutObject(o, "ioc_facts", f.given, facts);

  json port = json::object();
  Put(port, "device_limit", c.port_facts.device_limit);
  Put(port, "initiator_id", c.port_facts.initiator_id);
  PutObject(o, "port_facts", c.port_facts.given, port);

  PutObject(o, "pages", c.pages_given, PagesJson(c));
  PutList(o, "devices", c.devices_given, ListJson(c.devices, DeviceJson));
  PutList(o, "enclosures", c.enclosures_given, ListJson(c.enclosures, EnclosureJson));
  PutWalk(o, "device_walk", c.device_walk);
  PutWalk(o, "enclosure_walk", c.enclosure_walk);

  json raid = json::object();
  PutList(raid, "phys_disks", c.raid.phys_disks_given, ListJson(c.raid.phys_disks, PhysDiskJson));
  PutList(raid, "volumes", c.raid.volumes_given, ListJson(c.raid.volumes, VolumeJson));
  PutObject(o, "raid", c.raid.given, raid);

  json runtime = json::object();
  Put(runtime, "ir_disabled", c.runtime.ir_disabled);
  Put(runtime, "resets", c.runtime.resets);
  Put(runtime, "volumes_made", c.runtime.volumes_made);
  PutObject(o, "runtime", c.runtime.given, runtime);
  return o;
}

const char* RequestName(RequestKind kind) {
  switch (kind) {
    case RequestKind::kAdapterInfo:
      return "adapter_info";
    case RequestKind::kPassThrough:
      return "passthrough";
    case RequestKind::kReset:
      return "reset";
  }
  return "";
}

json FaultJson(const FaultRule& r) {
  json o = json::object();
  const FaultMatch& m = r.match;
  json match = json::object();
  if (m.request.given) match["request"] = RequestName(m.request.value);
  if (m.page.given) match["page"] = PageDirectory()[m.page.value].name;
  Put(match, "controller", m.controller);
  Put(match, "function", m.function);
  Put(match, "action", m.action);
  Put(match, "page_type", m.page_type);
  Put(match, "page_number", m.page_number);
  Put(match, "ext_page_type", m.ext_page_type);
  Put(match, "address", m.address);
  Put(match, "raid_action", m.raid_action);
  Put(match, "scsi_opcode", m.scsi_opcode);
  Put(match, "target", m.target);
  Put(match, "vpd_page", m.vpd_page);
  PutObject(o, "match", m.given, match);

  const FaultEffect& e = r.effect;
  json effect = json::object();
  if (!e.err_name.empty()) {
    effect["errno"] = e.err_name;
  } else {
    Put(effect, "errno", e.err);
  }
  Put(effect, "no_reply", e.no_reply);
  Put(effect, "ioc_status", e.ioc_status);
  Put(effect, "action_status", e.action_status);
  Put(effect, "scsi_status", e.scsi_status);
  Put(effect, "scsi_state", e.scsi_state);
  Put(effect, "sense_key", e.sense_key);
  Put(effect, "asc", e.asc);
  Put(effect, "ascq", e.ascq);
  Put(effect, "not_ready", e.not_ready);
  Put(effect, "unit_attention", e.unit_attention);
  Put(effect, "response_info", e.response_info);
  Put(effect, "short", e.short_data);
  PutObject(o, "effect", e.given, effect);
  Put(o, "first", r.first);
  Put(o, "nth", r.nth);
  Put(o, "hits", r.hits);
  return o;
}

}  // namespace

json WriteModel(const Model& m) {
  json doc = json::object();
  PutObject(doc, "node", m.node.given, NodeJson(m.node));
  PutList(doc, "controllers", m.controllers_given, ListJson(m.controllers, ControllerJson));
  PutList(doc, "faults", m.faults_given, ListJson(m.faults, FaultJson));
  json meta = json::object();
  Put(meta, "format", m.format);
  Put(meta, "lab_digest", m.lab_digest);
  PutObject(doc, "vxtsim", m.meta_given, meta);
  return doc;
}

}  // namespace vxtsim
