// The configuration pages of the model's directory that are not instances:
// their named fields, the bytes the fields do not describe, and the
// non-volatile copy of the pages a host may write.
#include "capture.h"
#include "firmware/page_table.h"
#include "lab_text.h"
#include "vxt/pages.h"

namespace capture {

namespace {

using vxtsim::FieldDef;
using vxtsim::PageDef;

// The pages read as instances, only for whether the controller has them and
// their header; every other page of the model's directory is read whole.
constexpr vxtsim::PageIndex kInstancePages[] = {vxtsim::kRaidVolPg0, vxtsim::kRaidVolPg1,
                                                vxtsim::kRaidPhysDiskPg0, vxtsim::kSasDevicePg0,
                                                vxtsim::kSasEnclosurePg0};

bool IsInstancePage(const PageDef& def) {
  for (vxtsim::PageIndex index : kInstancePages) {
    if (&vxtsim::PageAt(index) == &def) return true;
  }
  return false;
}

// The pages the RAID capture goes on from; without them there is no lab.
bool IsRequired(const PageDef& def) {
  vxtsim::PageIndex index = vxtsim::IndexOf(def);
  return index == vxtsim::kIocPg2 || index == vxtsim::kIocPg3 || index == vxtsim::kIocPg5;
}

// Pages the model builds (the lists) take no patches: it derives the rest.
bool IsDerived(const PageDef& def) { return def.builder != nullptr; }

void SetField(vxtsim::Given<uint64_t>& key, const FieldDef& f, ConstBytes page) {
  uint64_t v = GetLe(page, f.offset, f.width);
  // Flag words and addresses read better in hex.
  if (f.width > 1) {
    SetHex(key, v, 2 * f.width);
  } else {
    key = v;
  }
}

// The page as the lab's named fields alone would build it: header, fields,
// zeros.
PageBuffer FromFields(const PageDef& def, const PageHeader& h, ConstBytes page) {
  PageBuffer built(page.size(), 0);
  PutU8(built, 0, h.PageVersion);
  PutU8(built, 1, h.PageLength);
  PutU8(built, 2, def.number);
  PutU8(built, 3, def.type);
  for (const FieldDef& f : def.fields) {
    PutLe(built, f.offset, f.width, GetLe(page, f.offset, f.width));
  }
  return built;
}

vxtsim::Patches PagePatches(const PageDef& def, const PageHeader& h, ConstBytes page) {
  if (IsDerived(def)) return {};
  return DiffPatches(page, FromFields(def, h, page));
}

// Field values and patches of the non-volatile copy where they differ.
void CaptureNvram(ControllerCapture& cc, const PageDef& def, const PageHeader& h,
                  const PageBuffer& current, vxtsim::PageState& state) {
  PageBuffer nvram;
  RequestStatus status;
  if (!VxtConfigReadPage(cc.c, kPageActionReadNvram, def.type, def.number, 0, &nvram, &status)) {
    cc.Note(std::string(def.name) + ": the non-volatile copy could not be read (" +
            WhyFailed(status) + "); taken to be the current one");
    return;
  }
  for (size_t i = 0; i < def.fields.size(); ++i) {
    const FieldDef& f = def.fields[i];
    if (GetLe(nvram, f.offset, f.width) != GetLe(current, f.offset, f.width)) {
      SetField(state.nvram.fields[i], f, nvram);
      state.has_nvram = true;
    }
  }
  vxtsim::Patches patches = PagePatches(def, h, nvram);
  if (!SamePatches(patches, state.current.bytes)) {
    state.nvram.bytes = std::move(patches);
    state.nvram.bytes.given = true;
    state.has_nvram = true;
  }
}

// False only when a required page could not be read.
bool CapturePage(ControllerCapture& cc, const PageDef& def, PageBuffer* kept) {
  vxtsim::PageState& state = cc.ctl.pages[vxtsim::IndexOf(def)];
  state.given = true;
  PageHeader h{};
  PageBuffer page;
  RequestStatus status;
  bool read =
      ReadPageHeader(cc.c, def.type, def.number, &h, &status) &&
      VxtConfigReadPage(cc.c, kPageActionReadCurrent, def.type, def.number, 0, &page, &status);
  if (!read) {
    bool lacks = NoSuchPage(status);
    std::string why = WhyFailed(status);
    state.absent = true;
    if (lacks) {
      cc.Note(std::string(def.name) + ": the controller lacks it");
      return true;
    }
    if (IsRequired(def)) return cc.Fail(std::string(def.name) + " could not be read (" + why + ")");
    cc.Note(std::string(def.name) + " could not be read (" + why + "); noted as absent");
    return true;
  }
  state.version = h.PageVersion;
  state.length = h.PageLength;
  for (size_t i = 0; i < def.fields.size(); ++i)
    SetField(state.current.fields[i], def.fields[i], page);
  state.current.bytes = PagePatches(def, h, page);
  if (def.writable) CaptureNvram(cc, def, h, page, state);
  if (kept) *kept = std::move(page);
  return true;
}

// Instance pages: only whether the controller has them and their header.
bool RecordInstanceHeader(ControllerCapture& cc, const PageDef& def, bool read,
                          const RequestStatus& status, uint8_t version, uint16_t length) {
  const char* name = def.name;
  vxtsim::PageState& state = cc.ctl.pages[vxtsim::IndexOf(def)];
  state.given = true;
  if (read) {
    state.version = version;
    state.length = length;
    return true;
  }
  state.absent = true;
  if (NoSuchPage(status)) {
    cc.Note(std::string(name) + ": the controller lacks it");
    return true;
  }
  return cc.Fail(std::string(name) + " header could not be read (" + WhyFailed(status) + ")");
}

bool CaptureInstanceHeader(ControllerCapture& cc, vxtsim::PageIndex index, bool* present) {
  const PageDef& def = vxtsim::PageAt(index);
  RequestStatus status;
  if (def.extended()) {
    ExtendedPageHeader h{};
    *present = ReadExtendedPageHeader(cc.c, def.ext_type, 0, &h, &status);
    return RecordInstanceHeader(cc, def, *present, status, h.PageVersion, h.ExtPageLength);
  }
  PageHeader h{};
  *present = ReadPageHeader(cc.c, def.type, def.number, &h, &status);
  return RecordInstanceHeader(cc, def, *present, status, h.PageVersion, h.PageLength);
}

}  // namespace

bool CapturePages(ControllerCapture& cc) {
  for (const PageDef& def : vxtsim::PageDirectory()) {
    if (IsInstancePage(def)) continue;
    if (def.scope == vxtsim::PageScope::kScsi && cc.sas) continue;
    PageBuffer* kept = nullptr;
    if (vxtsim::IndexOf(def) == vxtsim::kIocPg2) kept = &cc.ioc2;
    if (vxtsim::IndexOf(def) == vxtsim::kIocPg3) kept = &cc.ioc3;
    if (vxtsim::IndexOf(def) == vxtsim::kIocPg5) kept = &cc.ioc5;
    if (!CapturePage(cc, def, kept)) return false;
  }
  if (!CaptureInstanceHeader(cc, vxtsim::kRaidVolPg0, &cc.has_vol_pages) ||
      !CaptureInstanceHeader(cc, vxtsim::kRaidVolPg1, &cc.has_vol1_pages) ||
      !CaptureInstanceHeader(cc, vxtsim::kRaidPhysDiskPg0, &cc.has_disk_pages)) {
    return false;
  }
  if (!cc.sas) return true;
  return CaptureInstanceHeader(cc, vxtsim::kSasDevicePg0, &cc.has_device_pages) &&
         CaptureInstanceHeader(cc, vxtsim::kSasEnclosurePg0, &cc.has_enclosure_pages);
}

}  // namespace capture
