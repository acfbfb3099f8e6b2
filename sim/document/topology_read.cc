// Reading a controller's facts, pages, devices, enclosures and walks.
#include "document/lab_defaults.h"
#include "document/record_readers.h"
#include "firmware/page_table.h"

namespace vxtsim::doc {

namespace defaults = lab_defaults;

void ReadPatches(Obj& o, const char* key, Patches& out) {
  const json* taken = o.Take(key);
  Obj patches(o.problems(), taken, o.PathOf(key));
  if (!patches.present()) return;
  out.given = true;
  const json& j = *taken;
  for (auto it = j.begin(); it != j.end(); ++it) {
    Patch patch;
    patch.key = it.key();
    uint64_t offset = 0;
    std::string place = patches.PathOf(it.key());
    if (!NumberAt(o.problems(), place, json(it.key()), 0xFFFF, offset)) continue;
    patch.offset = static_cast<uint32_t>(offset);
    if (!it->is_string() || !FromHex(it->get<std::string>(), patch.data)) {
      o.problems().Add(place, "expected hex bytes, got " + Shown(*it));
      continue;
    }
    patch.text = it->get<std::string>();
    out.list.push_back(std::move(patch));
  }
}

void ReadBlocks(Obj& o, BlockStore& out) {
  const json* taken = o.Take("block_data");
  Obj blocks(o.problems(), taken, o.PathOf("block_data"));
  if (!blocks.present()) return;
  out.given = true;
  const json& j = *taken;
  for (auto it = j.begin(); it != j.end(); ++it) {
    std::string place = blocks.PathOf(it.key());
    uint64_t lba = 0;
    if (!NumberAt(o.problems(), place, json(it.key()), ~uint64_t{0}, lba)) continue;
    StoredBlock block;
    if (!it->is_string() || !FromHex(it->get<std::string>(), block.data)) {
      o.problems().Add(place, "expected hex bytes, got " + Shown(*it));
      continue;
    }
    block.text = it->get<std::string>();
    out.blocks[lba] = std::move(block);
  }
}

namespace {

// "1.27.0.0" or a plain number; the first part is the major version.
void ReadFirmwareVersion(Obj& o, IocFacts& facts) {
  const json* v = o.Take("firmware_version");
  if (!v) return;
  std::string place = o.PathOf("firmware_version");
  if (v->is_string() && v->get<std::string>().find('.') != std::string::npos) {
    const std::string& text = v->get_ref<const std::string&>();
    uint32_t word = 0;
    size_t parts = 0, at = 0;
    for (;;) {
      size_t dot = text.find('.', at);
      std::string part = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
      uint64_t n = 0;
      Spelling s;
      uint8_t w;
      if (part.empty() || !ParseNumber(json(part), n, s, w) || n > 0xFF) {
        o.problems().Add(place, "expected four numbers 0 to 255 with dots, got " + Shown(*v));
        return;
      }
      word = word << 8 | static_cast<uint32_t>(n);
      ++parts;
      if (dot == std::string::npos) break;
      at = dot + 1;
    }
    if (parts != 4) {
      o.problems().Add(place, "expected four numbers 0 to 255 with dots, got " + Shown(*v));
      return;
    }
    facts.firmware_version = word;
    facts.firmware_version_text = text;
    return;
  }
  GivenAt(o.problems(), place, *v, 0xFFFFFFFF, facts.firmware_version);
}

uint64_t WidthMax(uint8_t width) {
  return width >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * width)) - 1;
}

void ReadPageValues(Obj& o, const PageDef& def, PageValues& values) {
  for (size_t f = 0; f < def.fields.size(); ++f) {
    Num(o, def.fields[f].name, values.fields[f], WidthMax(def.fields[f].width));
  }
  ReadPatches(o, "bytes", values.bytes);
}

}  // namespace

void ReadFacts(Obj& ctl, Controller& c) {
  Obj o(ctl.problems(), ctl.Take("ioc_facts"), ctl.PathOf("ioc_facts"));
  IocFacts& f = c.ioc_facts;
  f.given = o.present();
  f.ioc_number.value = c.number;
  f.concurrent_commands.value =
      c.sas ? defaults::kSasConcurrentCommands : defaults::kScsiConcurrentCommands;
  ReadFields(o, f, [](IocFacts& r, auto& v) { IocFactsFields(r, v); });
  ReadFirmwareVersion(o, f);
  o.Done();

  PortFacts& pf = c.port_facts;
  pf.device_limit.value = c.sas ? defaults::kSasDeviceLimit : defaults::kScsiDeviceLimit;
  FieldReader(ctl).Object("port_facts", pf.given, [&](auto& v) { PortFactsFields(pf, v); });
  if (!pf.initiator_id.given)
    pf.initiator_id.value = c.sas ? pf.device_limit.value : defaults::kScsiInitiatorId;
}

void ReadPages(Obj& ctl, Controller& c) {
  const json* j = ctl.Take("pages");
  Obj o(ctl.problems(), j, ctl.PathOf("pages"));
  c.pages_given = o.present();
  for (const PageDef& def : PageDirectory()) {
    PageState& page = c.pages[IndexOf(def)];
    for (size_t f = 0; f < def.fields.size(); ++f)
      page.current.fields[f].value = def.fields[f].fallback;
    Obj po(ctl.problems(), o.Take(def.name), o.PathOf(def.name));
    if (!po.present()) continue;
    page.given = true;
    Flag(po, "absent", page.absent);
    Num(po, "PageVersion", page.version);
    Num(po, "PageLength", page.length, def.extended() ? 0xFFFF : 0xFF);
    ReadPageValues(po, def, page.current);
    Obj nv(ctl.problems(), po.Take("nvram"), po.PathOf("nvram"));
    if (nv.present()) {
      page.has_nvram = true;
      ReadPageValues(nv, def, page.nvram);
      nv.Done();
    }
    po.Done();
  }
  o.Done();
}

void ReadDevice(Obj& o, const Controller& c, size_t index, Device& d) {
  d.handle.value = static_cast<uint16_t>(index + defaults::kFirstDeviceHandle);
  d.phy.value = static_cast<uint8_t>(index);
  ReadFields(o, d, [](Device& r, auto& v) { DeviceFields(r, v); });
  // Defaults that follow from other keys.
  if (!d.direct.given) d.direct.value = !d.parent.given;
  if (!d.sas_address.given) {
    d.sas_address.value = defaults::kDeviceSasAddressBase |
                          uint64_t{c.IocNumber()} << defaults::kDeviceSasAddressIocShift |
                          d.handle.value;
  }
  if (!d.device_info.given) {
    uint32_t info = d.direct.value ? defaults::kDeviceInfoDirect : 0;
    if (d.kind.value == DeviceKind::kExpander) {
      info |= defaults::kDeviceInfoExpander;
    } else {
      info |= d.protocol.value == Protocol::kSata ? defaults::kDeviceInfoSataDisk
                                                  : defaults::kDeviceInfoSasDisk;
    }
    d.device_info.value = info;
  }
  if (d.block_size.value == 0) o.problems().Add(o.PathOf("block_size"), "must not be 0");
  bool listed = false;
  if (const json* pages = ListAt(o, "vpd_pages", listed)) {
    d.vpd_pages_given = true;
    for (size_t i = 0; i < pages->size(); ++i) {
      uint64_t code = 0;
      if (NumberAt(o.problems(), Index(o.PathOf("vpd_pages"), i), (*pages)[i], 0xFF, code)) {
        d.vpd_pages.push_back(static_cast<uint8_t>(code));
      }
    }
  } else {
    d.vpd_pages = DefaultVpdPages(d.kvr_part.given);
  }
  ReadPatches(o, "inquiry_bytes", d.inquiry_bytes);
  ReadPatches(o, "page_bytes", d.page_bytes);
  ReadBlocks(o, d.block_data);
}

void ReadEnclosure(Obj& o, size_t index, Enclosure& e) {
  e.handle.value = static_cast<uint16_t>(index + defaults::kFirstEnclosureHandle);
  ReadFields(o, e, [](Enclosure& r, auto& v) { EnclosureFields(r, v); });
  if (!e.logical_id.given) e.logical_id.value = defaults::kEnclosureLogicalIdBase | e.handle.value;
  ReadPatches(o, "page_bytes", e.page_bytes);
  const json* taken = o.Take("slot_status");
  Obj status(o.problems(), taken, o.PathOf("slot_status"));
  if (status.present()) {
    e.slot_status_given = true;
    const json& j = *taken;
    for (auto it = j.begin(); it != j.end(); ++it) {
      uint64_t slot = 0;
      std::string place = status.PathOf(it.key());
      if (!NumberAt(o.problems(), place, json(it.key()), 0xFFFF, slot)) continue;
      Given<uint32_t>& word = e.slot_status[static_cast<uint16_t>(slot)];
      GivenAt(o.problems(), place, *it, 0xFFFFFFFF, word);
    }
  }
}

void ReadWalk(Obj& ctl, const char* key, Walk& walk) {
  const json* taken = ctl.Take(key);
  Obj o(ctl.problems(), taken, ctl.PathOf(key));
  if (!o.present()) return;
  walk.given = true;
  const json& j = *taken;
  for (auto it = j.begin(); it != j.end(); ++it) {
    std::string place = o.PathOf(it.key());
    uint64_t from = 0;
    Given<uint16_t> to;
    if (!NumberAt(ctl.problems(), place, json(it.key()), 0xFFFF, from)) continue;
    if (!GivenAt(ctl.problems(), place, *it, 0xFFFF, to)) continue;
    walk.next[static_cast<uint16_t>(from)] = to;
  }
}

}  // namespace vxtsim::doc
