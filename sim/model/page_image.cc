#include "page_image.h"

#include "controller.h"
#include "protocol.h"

namespace vxtsim {

namespace {

// Field values of a page: the lab's page object with the non-volatile
// overrides laid over it when asked for.
json FieldValues(const json& ctl, const PageDef& def, bool nvram) {
  json values = PageConfig(ctl, def.name);
  if (!values.is_object()) values = json::object();
  if (nvram && values.contains("nvram") && values["nvram"].is_object()) {
    for (auto& [key, value] : values["nvram"].items()) values[key] = value;
  }
  return values;
}

uint16_t BuildFromValues(const json& ctl, const PageDef& def, const json& values,
                         uint32_t address, Bytes& out) {
  PageHeader header = HeaderOf(ctl, def);
  out.assign(size_t{header.length_words} * 4, 0);
  Put8(out, 0, header.version);
  Put8(out, 2, def.number);
  if (def.extended()) {
    Put8(out, 3, kExtendedPageType);
    Put16(out, 4, header.length_words);
    Put8(out, 6, def.ext_type);
  } else {
    Put8(out, 1, header.length_words);
    Put8(out, 3, def.type);
  }
  for (const FieldDef& f : def.fields) PutLe(out, f.offset, f.width, Num(values, f.name, f.fallback));
  if (def.builder) {
    uint16_t status = def.builder(PageRequest{ctl, address}, out);
    if (status != kStatusSuccess) return status;
  }
  ApplyPatches(Member(values, "bytes"), out);
  return 0;
}

}  // namespace

bool PageAvailable(const json& ctl, const PageDef& def) {
  if (Flag(PageConfig(ctl, def.name), "absent", false)) return false;
  switch (def.scope) {
    case PageScope::kSas: return IsSasController(ctl);
    case PageScope::kScsi: return !IsSasController(ctl);
    case PageScope::kAny: break;
  }
  return true;
}

PageHeader HeaderOf(const json& ctl, const PageDef& def) {
  const json& cfg = PageConfig(ctl, def.name);
  uint16_t length = def.length ? def.length(ctl) : def.length_words;
  length = static_cast<uint16_t>(Num(cfg, "PageLength", length));
  if (!def.extended() && length > 0xFF) length = 0xFF;
  return {static_cast<uint8_t>(Num(cfg, "PageVersion", def.version)), length};
}

uint16_t BuildPage(const json& ctl, const PageDef& def, uint32_t address, bool nvram,
                   Bytes& out) {
  return BuildFromValues(ctl, def, FieldValues(ctl, def, nvram), address, out);
}

void ApplyPatches(const json& patches, Bytes& page) {
  if (!patches.is_object()) return;
  for (auto& [offset_text, hex] : patches.items()) {
    size_t offset = ToNum(json(offset_text), "page patch offset");
    Bytes data;
    if (!hex.is_string() || !FromHex(hex.get<std::string>(), data)) {
      throw LabError("page patch at " + offset_text + ": expected hex bytes");
    }
    for (size_t i = 0; i < data.size() && offset + i < page.size(); ++i) page[offset + i] = data[i];
  }
}

void StorePage(json& ctl, const PageDef& def, bool to_nvram, const Bytes& image) {
  json& page = ctl["pages"][def.name];
  if (!page.is_object()) page = json::object();
  if (to_nvram) {
    page.erase("nvram");
  } else if (!page.contains("nvram")) {
    // Keep what non-volatile memory held before the current copy changes.
    json old = json::object();
    for (const FieldDef& f : def.fields) old[f.name] = Num(page, f.name, f.fallback);
    old["bytes"] = page.contains("bytes") ? page["bytes"] : json::object();
    page["nvram"] = old;
  }
  for (const FieldDef& f : def.fields) page[f.name] = GetLe(image, f.offset, f.width);
  page.erase("bytes");

  Bytes rebuilt;
  BuildFromValues(ctl, def, page, 0, rebuilt);
  json patches = json::object();
  for (size_t i = 0; i < image.size() && i < rebuilt.size(); ++i) {
    if (image[i] == rebuilt[i]) continue;
    size_t end = i;
    while (end < image.size() && end < rebuilt.size() && image[end] != rebuilt[end]) ++end;
    patches[std::to_string(i)] = ToHex(&image[i], end - i);
    i = end;
  }
  if (!patches.empty()) page["bytes"] = patches;
}

void CommitNvram(json& ctl) {
  if (!ctl.contains("pages") || !ctl["pages"].is_object()) return;
  for (auto& [name, page] : ctl["pages"].items()) {
    if (!page.is_object() || !page.contains("nvram")) continue;
    json nvram = page["nvram"];
    page.erase("nvram");
    for (auto& [key, value] : nvram.items()) page[key] = value;
  }
}

}  // namespace vxtsim
