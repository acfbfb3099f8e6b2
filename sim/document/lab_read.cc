// Reading a lab or state document into the model. Every key is checked:
// unknown keys (with the keys allowed there and the nearest one), values of
// the wrong kind or outside their field's range, repeated handles, targets,
// numbers and addresses, and members naming no physical disk.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>

#include "document/record_fields.h"
#include "document/state_file.h"
#include "driver/faults.h"
#include "firmware/page_table.h"

namespace vxtsim {

namespace {

struct Problems {
  std::vector<std::string> lines;
  std::string where;  // "; in controller N" while reading a controller

  void Add(const std::string& place, const std::string& problem) {
    lines.push_back(place + ": " + problem + where);
  }
};

std::string Shown(const json& v) {
  std::string s = v.dump();
  return s.size() > 40 ? s.substr(0, 37) + "..." : s;
}

// Optimal string alignment distance: a swapped pair of letters counts once.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

std::string UnknownKey(const std::string& key, const std::vector<std::string>& allowed) {
  std::string nearest;
  size_t best = 3;
  for (const std::string& k : allowed) {
    size_t d = Distance(key, k);
    if (d < best && d * 2 < std::max<size_t>(key.size(), 2)) {
      best = d;
      nearest = k;
    }
  }
  std::string text = "unknown key \"" + key + "\"";
  if (!nearest.empty()) text += " (did you mean \"" + nearest + "\"?)";
  text += "; allowed:";
  for (size_t i = 0; i < allowed.size(); ++i) text += (i ? ", " : " ") + allowed[i];
  return text;
}

// One object of the document: its keys are taken one by one, and Done()
// reports the keys nobody took.
class Obj {
 public:
  Obj(Problems& p, const json* j, std::string path) : p_(p), j_(j), path_(std::move(path)) {
    if (j_ && !j_->is_object()) {
      p_.Add(path_, "expected an object, got " + Shown(*j_));
      j_ = nullptr;
    }
  }

  bool present() const { return j_ != nullptr; }
  Problems& problems() { return p_; }
  const std::string& path() const { return path_; }
  std::string PathOf(const std::string& key) const {
    return path_.empty() ? key : path_ + "." + key;
  }

  const json* Take(const char* key) {
    allowed_.push_back(key);
    if (!j_) return nullptr;
    auto it = j_->find(key);
    return it == j_->end() ? nullptr : &*it;
  }

  void Done() {
    if (!j_) return;
    for (auto it = j_->begin(); it != j_->end(); ++it) {
      bool known = std::any_of(allowed_.begin(), allowed_.end(),
                               [&](const char* k) { return it.key() == k; });
      if (!known) p_.Add(path_, UnknownKey(it.key(), {allowed_.begin(), allowed_.end()}));
    }
  }

 private:
  Problems& p_;
  const json* j_;
  std::string path_;
  std::vector<const char*> allowed_;
};

// A number as a JSON number or a string in any C base.
bool ParseNumber(const json& v, uint64_t& out, Spelling& spelling, uint8_t& width) {
  if (v.is_number_unsigned()) {
    out = v.get<uint64_t>();
    spelling = Spelling::kNumber;
    return true;
  }
  if (v.is_number_integer()) {
    int64_t i = v.get<int64_t>();
    if (i < 0) return false;
    out = static_cast<uint64_t>(i);
    spelling = Spelling::kNumber;
    return true;
  }
  if (!v.is_string()) return false;
  const std::string& s = v.get_ref<const std::string&>();
  if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long n = std::strtoull(s.c_str(), &end, 0);
  if (errno != 0 || !end || *end != '\0') return false;
  out = n;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    bool upper = std::any_of(s.begin() + 2, s.end(), [](char c) { return c >= 'A' && c <= 'F'; });
    spelling = upper ? Spelling::kHexUpper : Spelling::kHexLower;
    width = static_cast<uint8_t>(std::min<size_t>(s.size() - 2, 255));
  } else if (s.size() > 1 && s[0] == '0') {
    spelling = Spelling::kOctal;
    width = static_cast<uint8_t>(std::min<size_t>(s.size() - 1, 255));
  } else {
    spelling = Spelling::kDecimal;
  }
  return true;
}

std::string PlaceName(const std::string& place) { return place; }
template <typename F>
std::string PlaceName(const F& place) {
  return place();
}

// `place` gives the place's name, built only for a message.
template <typename Place>
bool NumberAt(Problems& p, const Place& place, const json& v, uint64_t max, uint64_t& out,
              Spelling* spelling = nullptr, uint8_t* width = nullptr) {
  Spelling s = Spelling::kNumber;
  uint8_t w = 0;
  if (!ParseNumber(v, out, s, w)) {
    bool negative = (v.is_number_integer() && v.get<int64_t>() < 0) ||
                    (v.is_string() && !v.get_ref<const std::string&>().empty() &&
                     v.get_ref<const std::string&>()[0] == '-');
    p.Add(PlaceName(place), negative
                                ? Shown(v) + " is out of range (0 to " + std::to_string(max) + ")"
                                : "expected a number, got " + Shown(v));
    return false;
  }
  if (out > max) {
    p.Add(PlaceName(place), Shown(v) + " is out of range (0 to " + std::to_string(max) + ")");
    return false;
  }
  if (spelling) *spelling = s;
  if (width) *width = w;
  return true;
}

template <typename T>
void Num(Obj& o, const char* key, Given<T>& out, uint64_t max = std::numeric_limits<T>::max()) {
  const json* v = o.Take(key);
  if (!v) return;
  uint64_t n = 0;
  Spelling s;
  uint8_t w;
  if (!NumberAt(
          o.problems(), [&] { return o.PathOf(key); }, *v, max, n, &s, &w))
    return;
  out.value = static_cast<T>(n);
  out.given = true;
  out.spelling = s;
  out.width = w;
}

void Flag(Obj& o, const char* key, Given<bool>& out) {
  const json* v = o.Take(key);
  if (!v) return;
  if (v->is_boolean()) {
    out.value = v->get<bool>();
    out.given = true;
    return;
  }
  uint64_t n = 0;
  Spelling s;
  uint8_t w;
  if (!ParseNumber(*v, n, s, w)) {
    o.problems().Add(o.PathOf(key), "expected true or false, got " + Shown(*v));
    return;
  }
  out.value = n != 0;
  out.given = true;
  out.spelling = Spelling::kDecimal;  // written back as a number
}

void Text(Obj& o, const char* key, Given<std::string>& out) {
  const json* v = o.Take(key);
  if (!v) return;
  if (!v->is_string()) {
    o.problems().Add(o.PathOf(key), "expected a string, got " + Shown(*v));
    return;
  }
  out.value = v->get<std::string>();
  out.given = true;
}

// One of a few names.
template <typename E, typename Table>
void Choice(Obj& o, const char* key, Given<E>& out, const Table& names) {
  const json* v = o.Take(key);
  if (!v) return;
  if (v->is_string()) {
    for (auto& [name, value] : names) {
      if (v->get<std::string>() == name) {
        out = value;
        return;
      }
    }
  }
  std::string list;
  for (auto& [name, value] : names)
    list += std::string(list.empty() ? "" : " or ") + "\"" + name + "\"";
  o.problems().Add(o.PathOf(key), "expected " + list + ", got " + Shown(*v));
}

// Reads the keys a record lists (record_fields.h) out of one object.
class FieldReader {
 public:
  explicit FieldReader(Obj& o) : o_(o) {}

  template <typename T>
  void Field(const char* key, Given<T>& g, uint64_t max = std::numeric_limits<T>::max()) {
    Num(o_, key, g, max);
  }
  void Field(const char* key, Given<bool>& g) { Flag(o_, key, g); }
  void Field(const char* key, Given<std::string>& g) { Text(o_, key, g); }

  template <typename E, size_t N>
  void OneOf(const char* key, Given<E>& g, const Name<E> (&names)[N]) {
    Choice(o_, key, g, names);
  }

  template <typename Fields>
  void Object(const char* key, bool& given, Fields fields) {
    Obj sub(o_.problems(), o_.Take(key), o_.PathOf(key));
    given = sub.present();
    FieldReader reader(sub);
    fields(reader);
    sub.Done();
  }

 private:
  Obj& o_;
};

template <typename Record, typename Fields>
void ReadFields(Obj& o, Record& r, Fields fields) {
  FieldReader reader(o);
  fields(r, reader);
}

const json* ListAt(Obj& o, const char* key, bool& given) {
  const json* v = o.Take(key);
  if (!v) return nullptr;
  if (!v->is_array()) {
    o.problems().Add(o.PathOf(key), "expected a list, got " + Shown(*v));
    return nullptr;
  }
  given = true;
  return v;
}

std::string Index(const std::string& path, size_t i) {
  return path + "[" + std::to_string(i) + "]";
}

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

// ---------------------------------------------------------------- node

void ReadNode(Obj& top, NodeState& node) {
  FieldReader(top).Object("node", node.given, [&](auto& v) { NodeFields(node, v); });
}

// ---------------------------------------------------------------- identity

bool IsSasDeviceId(uint16_t id) {
  switch (id & 0xFF) {
    case 0x50:
    case 0x54:
    case 0x56:
    case 0x58:
    case 0x5A:
    case 0x5C:
    case 0x5E:
    case 0x62:
      return true;
    default:
      return false;
  }
}

void ReadPci(Obj& ctl, Pci& pci) {
  FieldReader(ctl).Object("pci", pci.given, [&](auto& v) { PciFields(pci, v); });
}

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
  uint64_t n = 0;
  Spelling s;
  uint8_t w;
  if (!NumberAt(o.problems(), place, *v, 0xFFFFFFFF, n, &s, &w)) return;
  facts.firmware_version = static_cast<uint32_t>(n);
  facts.firmware_version.spelling = s;
  facts.firmware_version.width = w;
}

void ReadFacts(Obj& ctl, Controller& c) {
  Obj o(ctl.problems(), ctl.Take("ioc_facts"), ctl.PathOf("ioc_facts"));
  IocFacts& f = c.ioc_facts;
  f.given = o.present();
  f.ioc_number.value = c.number;
  f.concurrent_commands.value = c.sas ? 511 : 222;
  ReadFields(o, f, [](IocFacts& r, auto& v) { IocFactsFields(r, v); });
  ReadFirmwareVersion(o, f);
  o.Done();

  PortFacts& pf = c.port_facts;
  pf.device_limit.value = c.sas ? 64 : 16;
  FieldReader(ctl).Object("port_facts", pf.given, [&](auto& v) { PortFactsFields(pf, v); });
  if (!pf.initiator_id.given) pf.initiator_id.value = c.sas ? pf.device_limit.value : 7;
}

// ---------------------------------------------------------------- pages

uint64_t WidthMax(uint8_t width) {
  return width >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * width)) - 1;
}

void ReadPageValues(Obj& o, const PageDef& def, PageValues& values) {
  for (size_t f = 0; f < def.fields.size(); ++f) {
    Num(o, def.fields[f].name, values.fields[f], WidthMax(def.fields[f].width));
  }
  ReadPatches(o, "bytes", values.bytes);
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

// ---------------------------------------------------------------- devices

void ReadDevice(Obj& o, const Controller& c, size_t index, Device& d) {
  d.handle.value = static_cast<uint16_t>(index + 9);
  d.phy.value = static_cast<uint8_t>(index);
  ReadFields(o, d, [](Device& r, auto& v) { DeviceFields(r, v); });
  // Defaults that follow from other keys.
  if (!d.direct.given) d.direct.value = !d.parent.given;
  if (!d.sas_address.given) {
    d.sas_address.value = 0x50000D1000000000ull | uint64_t{c.IocNumber()} << 24 | d.handle.value;
  }
  if (!d.device_info.given) {
    uint32_t info = d.direct.value ? 0x800 : 0;
    if (d.kind.value == DeviceKind::kExpander) {
      info |= 0x2;
    } else {
      info |= d.protocol.value == Protocol::kSata ? 0x81 : 0x401;
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
  e.handle.value = static_cast<uint16_t>(index + 1);
  ReadFields(o, e, [](Enclosure& r, auto& v) { EnclosureFields(r, v); });
  if (!e.logical_id.given) e.logical_id.value = 0x50000D1E00000000ull | e.handle.value;
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
      uint64_t n = 0;
      Spelling s;
      uint8_t w;
      if (!NumberAt(o.problems(), place, *it, 0xFFFFFFFF, n, &s, &w)) continue;
      word = static_cast<uint32_t>(n);
      word.spelling = s;
      word.width = w;
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
    uint64_t from = 0, to = 0;
    Spelling s;
    uint8_t w;
    if (!NumberAt(ctl.problems(), place, json(it.key()), 0xFFFF, from)) continue;
    if (!NumberAt(ctl.problems(), place, *it, 0xFFFF, to, &s, &w)) continue;
    Given<uint16_t>& next = walk.next[static_cast<uint16_t>(from)];
    next = static_cast<uint16_t>(to);
    next.spelling = s;
    next.width = w;
  }
}

template <typename Item, typename Read>
void ReadList(Obj& ctl, const char* key, bool& given, std::vector<Item>& items, Read read) {
  const json* list = ListAt(ctl, key, given);
  if (!list) return;
  for (size_t i = 0; i < list->size(); ++i) {
    Obj o(ctl.problems(), &(*list)[i], Index(ctl.PathOf(key), i));
    items.emplace_back();
    if (o.present()) read(o, i, items.back());
    o.Done();
  }
}

// ---------------------------------------------------------------- RAID

void ReadPhysDisk(Obj& o, const Controller& c, PhysDisk& pd) {
  pd.ioc.value = c.IocNumber();
  ReadFields(o, pd, [](PhysDisk& r, auto& v) { PhysDiskFields(r, v); });
  ReadPatches(o, "page_bytes", pd.page_bytes);
}

void ReadVolumeType(Obj& o, Volume& v) {
  const json* t = o.Take("type");
  if (!t) return;
  if (t->is_string()) {
    static const std::pair<const char*, uint8_t> kNames[] = {
        {"IS", kVolumeIS},   {"is", kVolumeIS},   {"RAID0", kVolumeIS},
        {"IME", kVolumeIME}, {"ime", kVolumeIME}, {"RAID1E", kVolumeIME},
        {"IM", kVolumeIM},   {"im", kVolumeIM},   {"RAID1", kVolumeIM}};
    for (auto& [name, code] : kNames) {
      if (t->get<std::string>() == name) {
        v.type = code;
        v.type_name = name;
        return;
      }
    }
  }
  uint64_t n = 0;
  Spelling s;
  uint8_t w;
  if (!ParseNumber(*t, n, s, w) || n > 0xFF) {
    o.problems().Add(o.PathOf("type"),
                     "expected \"IM\", \"IME\", \"IS\" or 0 to 255, got " + Shown(*t));
    return;
  }
  v.type = static_cast<uint8_t>(n);
  v.type.spelling = s;
  v.type.width = w;
}

void ReadVolume(Obj& o, const Controller& c, Volume& v) {
  v.ioc.value = c.IocNumber();
  ReadVolumeType(o, v);
  v.hot_spare_pool.value = v.type.value == kVolumeIS ? 0 : 1;
  ReadFields(o, v, [](Volume& r, auto& fields) { VolumeFields(r, fields); });
  if (!v.wwid.given) {
    v.wwid.value = 0x50000D1100000000ull | uint64_t{c.IocNumber()} << 16 |
                   uint64_t{v.bus.value} << 8 | v.id.value;
  }
  const json* members = ListAt(o, "members", v.members_given);
  if (members) {
    for (size_t i = 0; i < members->size(); ++i) {
      const json& m = (*members)[i];
      std::string place = Index(o.PathOf("members"), i);
      VolumeMember member;
      uint8_t position = static_cast<uint8_t>(i);
      member.map = v.type.value == kVolumeIM ? static_cast<uint8_t>(position + 1) : position;
      if (m.is_object()) {
        Obj mo(o.problems(), &m, place);
        Given<uint8_t> num, map{member.map};
        Num(mo, "num", num);
        Num(mo, "map", map);
        mo.Done();
        member.num = num;
        member.map = map;
        member.as_object = true;
        member.map_given = map.given;
      } else {
        uint64_t n = 0;
        if (!NumberAt(o.problems(), place, m, 0xFF, n)) continue;
        member.num = static_cast<uint8_t>(n);
      }
      v.members.push_back(member);
    }
  }
  ReadBlocks(o, v.block_data);
  ReadPatches(o, "page_bytes", v.page_bytes);
}

void ReadRaid(Obj& ctl, Controller& c) {
  Obj o(ctl.problems(), ctl.Take("raid"), ctl.PathOf("raid"));
  Raid& raid = c.raid;
  raid.given = o.present();
  ReadList(o, "phys_disks", raid.phys_disks_given, raid.phys_disks,
           [&c](Obj& item, size_t, PhysDisk& pd) { ReadPhysDisk(item, c, pd); });
  ReadList(o, "volumes", raid.volumes_given, raid.volumes,
           [&c](Obj& item, size_t, Volume& v) { ReadVolume(item, c, v); });
  o.Done();
}

void ReadRuntime(Obj& ctl, Runtime& rt) {
  FieldReader(ctl).Object("runtime", rt.given, [&](auto& v) { RuntimeFields(rt, v); });
}

// ---------------------------------------------------------------- consistency

// Reports items whose key (when they have one) an earlier item has.
template <typename Item, typename Key, typename Name>
void Unique(Problems& p, const std::string& path, const std::vector<Item>& items, Key key,
            Name name) {
  std::map<uint32_t, size_t> seen;
  for (size_t i = 0; i < items.size(); ++i) {
    std::optional<uint32_t> k = key(items[i]);
    if (!k) continue;
    auto [it, added] = seen.emplace(*k, i);
    if (!added) p.Add(Index(path, i), name(*k) + " repeats " + Index(path, it->second) + "'s");
  }
}

std::string Named(const char* what, uint32_t n) {
  return std::string(what) + " " + std::to_string(n);
}

void CheckController(Problems& p, const std::string& path, const Controller& c) {
  Unique(
      p, path + ".devices", c.devices,
      [](const Device& d) { return std::optional<uint32_t>(d.handle.value); },
      [](uint32_t k) { return Named("handle", k); });
  for (size_t i = 0; i < c.devices.size(); ++i) {
    if (c.devices[i].handle.value == 0xFFFF)
      p.Add(Index(path + ".devices", i), "handle 65535 is reserved");
  }
  Unique(
      p, path + ".devices", c.devices,
      [](const Device& d) {
        return d.HasTarget() ? std::optional<uint32_t>(d.bus.value * 256u + d.target.value)
                             : std::nullopt;
      },
      [](uint32_t k) { return Named("target", k & 0xFF) + " on bus " + std::to_string(k >> 8); });
  Unique(
      p, path + ".enclosures", c.enclosures,
      [](const Enclosure& e) { return std::optional<uint32_t>(e.handle.value); },
      [](uint32_t k) { return Named("handle", k); });
  for (size_t i = 0; i < c.enclosures.size(); ++i) {
    if (c.enclosures[i].handle.value == 0xFFFF)
      p.Add(Index(path + ".enclosures", i), "handle 65535 is reserved");
  }
  std::string raid = path + ".raid";
  Unique(
      p, raid + ".phys_disks", c.raid.phys_disks,
      [](const PhysDisk& pd) { return std::optional<uint32_t>(pd.num.value); },
      [](uint32_t k) { return Named("num", k); });
  Unique(
      p, raid + ".volumes", c.raid.volumes,
      [](const Volume& v) { return std::optional<uint32_t>(v.bus.value * 256u + v.id.value); },
      [](uint32_t k) { return Named("id", k & 0xFF) + " on bus " + std::to_string(k >> 8); });
  for (size_t v = 0; v < c.raid.volumes.size(); ++v) {
    const std::vector<VolumeMember>& members = c.raid.volumes[v].members;
    for (size_t m = 0; m < members.size(); ++m) {
      bool known = std::any_of(c.raid.phys_disks.begin(), c.raid.phys_disks.end(),
                               [&](const PhysDisk& pd) { return pd.num.value == members[m].num; });
      if (!known) {
        p.Add(Index(Index(raid + ".volumes", v) + ".members", m),
              "no physical disk has num " + std::to_string(members[m].num));
      }
    }
  }
}

// The controller's number names it in every line about it, up to the end of
// its object (the caller clears it).
void ReadController(Obj& o, Controller& c) {
  o.problems().where.clear();
  const json* number = o.Take("number");
  uint64_t n = 0;
  if (!number) {
    o.problems().Add(o.path(), "needs a \"number\" from 0 to 255");
  } else if (NumberAt(
                 o.problems(), [&] { return o.PathOf("number"); }, *number, 0xFF, n)) {
    c.number = static_cast<uint8_t>(n);
    Spelling s;
    uint8_t w;
    ParseNumber(*number, n, s, w);
    c.number.spelling = s;
    c.number.width = w;
    o.problems().where = "; in controller " + std::to_string(n);
  }
  Given<std::string> kind;
  Text(o, "kind", kind);
  if (kind.given) {
    if (kind.value == "sas") {
      c.kind = ControllerKind::kSas;
    } else if (kind.value == "scsi") {
      c.kind = ControllerKind::kScsi;
    } else {
      o.problems().Add(o.PathOf("kind"),
                       "expected \"sas\" or \"scsi\", got \"" + kind.value + "\"");
    }
  }
  ReadPci(o, c.pci);
  c.sas = c.kind == ControllerKind::kFromPci ? IsSasDeviceId(c.pci.device_id)
                                             : c.kind == ControllerKind::kSas;
  ReadFacts(o, c);
  ReadPages(o, c);
  ReadList(o, "devices", c.devices_given, c.devices,
           [&c](Obj& item, size_t i, Device& d) { ReadDevice(item, c, i, d); });
  ReadList(o, "enclosures", c.enclosures_given, c.enclosures,
           [](Obj& item, size_t i, Enclosure& e) { ReadEnclosure(item, i, e); });
  ReadWalk(o, "device_walk", c.device_walk);
  ReadWalk(o, "enclosure_walk", c.enclosure_walk);
  ReadRaid(o, c);
  ReadRuntime(o, c.runtime);
  CheckController(o.problems(), o.path(), c);
}

// ---------------------------------------------------------------- faults

void ReadMatch(Obj& rule, FaultMatch& m) {
  Obj o(rule.problems(), rule.Take("match"), rule.PathOf("match"));
  m.given = o.present();
  ReadFields(o, m, [](FaultMatch& r, auto& v) { FaultMatchFields(r, v); });
  if (const json* page = o.Take("page")) {
    const PageDef* def = page->is_string() ? FindPageByName(page->get<std::string>()) : nullptr;
    if (def) {
      m.page = IndexOf(*def);
    } else {
      std::vector<std::string> names;
      for (const PageDef& d : PageDirectory()) names.push_back(d.name);
      std::string text = page->is_string() ? page->get<std::string>() : Shown(*page);
      std::string problem = UnknownKey(text, names);
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
    } else {
      uint64_t n = 0;
      Spelling s;
      uint8_t w;
      if (!ParseNumber(*err, n, s, w) || n > 4095) {
        o.problems().Add(o.PathOf("errno"), "expected an errno number or name, got " + Shown(*err));
      } else {
        e.err = static_cast<int>(n);
        e.err.spelling = s;
        e.err.width = w;
      }
    }
  }
  ReadFields(o, e, [](FaultEffect& r, auto& v) { FaultEffectFields(r, v); });
  o.Done();
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
  ReadList(top, "controllers", model.controllers_given, model.controllers,
           [](Obj& o, size_t, Controller& c) { ReadController(o, c); });
  p.where.clear();
  Unique(
      p, "controllers", model.controllers,
      [](const Controller& c) {
        return c.number.given ? std::optional<uint32_t>(c.number.value) : std::nullopt;
      },
      [](uint32_t k) { return Named("number", k); });
  ReadList(top, "faults", model.faults_given, model.faults, [](Obj& o, size_t, FaultRule& r) {
    ReadMatch(o, r.match);
    ReadEffect(o, r.effect);
    Num(o, "first", r.first);
    Num(o, "nth", r.nth);
    Num(o, "hits", r.hits);
  });
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
