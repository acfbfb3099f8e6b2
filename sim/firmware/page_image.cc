#include "firmware/page_image.h"

#include <algorithm>

#include "firmware/layouts.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

// The values a page is built from: the current copy, or the non-volatile
// copy where it differs.
struct ValuesView {
  const Given<uint64_t>* fields[kMaxPageFields];
  const Patches* bytes;
};

ValuesView ViewOf(const PageState& page, bool nvram) {
  ValuesView v{};
  bool use_nvram = nvram && page.has_nvram;
  for (size_t f = 0; f < kMaxPageFields; ++f) {
    const Given<uint64_t>& other = page.nvram.fields[f];
    v.fields[f] = use_nvram && other.given ? &other : &page.current.fields[f];
  }
  v.bytes = use_nvram && page.nvram.bytes.given ? &page.nvram.bytes : &page.current.bytes;
  return v;
}

uint16_t BuildFromValues(const Controller& ctl, const PageDef& def, const ValuesView& values,
                         uint32_t address, Bytes& out) {
  PageHeader header = HeaderOf(ctl, def);
  out.assign(size_t{header.length_words} * 4, 0);
  namespace H = layout::page_header;
  Put8(out, H::kPageVersion, header.version);
  Put8(out, H::kPageNumber, def.number);
  if (def.extended()) {
    Put8(out, H::kPageType, kExtendedPageType);
    Put16(out, H::kExtPageLength, header.length_words);
    Put8(out, H::kExtPageType, def.ext_type);
  } else {
    Put8(out, H::kPageLength, header.length_words);
    Put8(out, H::kPageType, def.type);
  }
  for (size_t f = 0; f < def.fields.size(); ++f) {
    PutLe(out, def.fields[f].offset, def.fields[f].width, values.fields[f]->value);
  }
  if (def.builder) {
    uint16_t status = def.builder(PageRequest{ctl, address}, out);
    if (status != kStatusSuccess) return status;
  }
  ApplyPatches(*values.bytes, out);
  return 0;
}

}  // namespace

bool PageAvailable(const Controller& ctl, const PageDef& def) {
  if (ctl.pages[IndexOf(def)].absent.value) return false;
  switch (def.scope) {
    case PageScope::kSas:
      return ctl.sas;
    case PageScope::kScsi:
      return !ctl.sas;
    case PageScope::kAny:
      break;
  }
  return true;
}

PageHeader HeaderOf(const Controller& ctl, const PageDef& def) {
  const PageState& page = ctl.pages[IndexOf(def)];
  uint16_t length = def.length ? def.length(ctl) : def.length_words;
  if (page.length.given) length = page.length.value;
  if (!def.extended() && length > 0xFF) length = 0xFF;
  return {page.version.given ? page.version.value : def.version, length};
}

uint16_t BuildPage(const Controller& ctl, const PageDef& def, uint32_t address, bool nvram,
                   Bytes& out) {
  return BuildFromValues(ctl, def, ViewOf(ctl.pages[IndexOf(def)], nvram), address, out);
}

void ApplyPatches(const Patches& patches, Bytes& page) {
  for (const Patch& p : patches.list) {
    for (size_t i = 0; i < p.data.size() && p.offset + i < page.size(); ++i) {
      page[p.offset + i] = p.data[i];
    }
  }
}

void StorePage(Controller& ctl, const PageDef& def, bool to_nvram, const Bytes& image) {
  ctl.pages_given = true;
  PageState& page = ctl.pages[IndexOf(def)];
  page.given = true;
  if (to_nvram) {
    page.has_nvram = false;
    page.nvram = PageValues();
  } else if (!page.has_nvram) {
    // Keep what non-volatile memory held before the current copy changes.
    page.has_nvram = true;
    for (size_t f = 0; f < def.fields.size(); ++f)
      page.nvram.fields[f] = page.current.fields[f].value;
    page.nvram.bytes = page.current.bytes;
    page.nvram.bytes.given = true;
  }
  for (size_t f = 0; f < def.fields.size(); ++f) {
    page.current.fields[f] = GetLe(image, def.fields[f].offset, def.fields[f].width);
  }
  page.current.bytes = Patches();

  Bytes rebuilt;
  BuildFromValues(ctl, def, ViewOf(page, false), 0, rebuilt);
  Patches patches;
  for (size_t i = 0; i < image.size() && i < rebuilt.size(); ++i) {
    if (image[i] == rebuilt[i]) continue;
    size_t end = i;
    while (end < image.size() && end < rebuilt.size() && image[end] != rebuilt[end]) ++end;
    Patch p;
    p.key = std::to_string(i);
    p.offset = static_cast<uint32_t>(i);
    p.data.assign(image.begin() + static_cast<long>(i), image.begin() + static_cast<long>(end));
    p.text = ToHex(p.data);
    patches.list.push_back(std::move(p));
    i = end;
  }
  // Patches apply in the order of their keys as text, as a state read back has them.
  std::sort(patches.list.begin(), patches.list.end(),
            [](const Patch& a, const Patch& b) { return a.key < b.key; });
  if (!patches.list.empty()) {
    patches.given = true;
    page.current.bytes = std::move(patches);
  }
}

void CommitNvram(Controller& ctl) {
  for (PageState& page : ctl.pages) {
    if (!page.has_nvram) continue;
    for (size_t f = 0; f < kMaxPageFields; ++f) {
      if (page.nvram.fields[f].given) page.current.fields[f] = page.nvram.fields[f];
    }
    if (page.nvram.bytes.given) page.current.bytes = page.nvram.bytes;
    page.has_nvram = false;
    page.nvram = PageValues();
  }
}

}  // namespace vxtsim
