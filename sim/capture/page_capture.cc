// The configuration pages that are not instances: their named fields, the
// bytes the fields do not describe, and the non-volatile copy of the pages a
// host may write.
#include "capture.h"
#include "lab_text.h"
#include "vxt/pages.h"

namespace capture {

namespace {

struct FieldKind {
  const char* Name;
  uint16_t Offset;
  uint8_t Width;
  bool Hex;  // flag words and addresses read better in hex
};

enum class Scope { kAny, kSas, kScsi };

struct PageKind {
  const char* Name;
  uint8_t Type;
  uint8_t Number;
  Scope Where;
  bool Required;
  // Pages whose remaining bytes the model derives (lists) take no patches.
  bool Derived;
  bool Writable;
  std::vector<FieldKind> Fields;
};

const std::vector<PageKind>& SinglePages() {
  static const std::vector<PageKind> pages = {
      {"IoUnitPg1", 0, 1, Scope::kAny, false, false, true, {{"IoUnitFlags", 4, 4, true}}},
      {"IoUnitPg2", 0, 2, Scope::kAny, false, false, true, {{"BiosVersion", 8, 4, true}}},
      {"IocPg1", 1, 1, Scope::kAny, false, false, true, {{"PciSlotNum", 13, 1, false}}},
      {"IocPg2",
       1,
       2,
       Scope::kAny,
       true,
       true,
       false,
       {{"CapabilityFlags", 4, 4, true},
        {"MaxVolumes", 9, 1, false},
        {"MaxPhysDisks", 11, 1, false}}},
      {"IocPg3", 1, 3, Scope::kAny, true, true, false, {}},
      {"IocPg5", 1, 5, Scope::kAny, true, true, false, {}},
      {"IocPg6",
       1,
       6,
       Scope::kAny,
       false,
       false,
       false,
       {{"MaxDrivesIS", 8, 1, false},
        {"MaxDrivesIM", 9, 1, false},
        {"MaxDrivesIME", 10, 1, false},
        {"MinDrivesIS", 12, 1, false},
        {"MinDrivesIM", 13, 1, false},
        {"MinDrivesIME", 14, 1, false},
        {"MaxHotSpares", 16, 1, false},
        {"MetadataSize", 36, 1, false}}},
      {"BiosPg2", 2, 2, Scope::kAny, false, false, true, {{"BootDeviceAddress", 32, 8, true}}},
      {"ScsiPortPg2", 3, 2, Scope::kScsi, false, false, true, {{"PortSettings", 8, 4, true}}},
      {"ManufacturingPg4",
       9,
       4,
       Scope::kAny,
       false,
       false,
       true,
       {{"IrFlags", 14, 2, true},
        {"IsVolumeSettings", 72, 4, true},
        {"ImeVolumeSettings", 76, 4, true},
        {"ImVolumeSettings", 80, 4, true}}},
  };
  return pages;
}

Json FieldValue(const FieldKind& f, ConstBytes page) {
  uint64_t v = GetLe(page, f.Offset, f.Width);
  if (f.Hex) return HexNumber(v, 2 * f.Width);
  return v;
}

// The page as the lab's named fields alone would build it: header, fields,
// zeros.
PageBuffer FromFields(const PageKind& kind, const PageHeader& h, ConstBytes page) {
  PageBuffer built(page.size(), 0);
  PutU8(built, 0, h.PageVersion);
  PutU8(built, 1, h.PageLength);
  PutU8(built, 2, kind.Number);
  PutU8(built, 3, kind.Type);
  for (const FieldKind& f : kind.Fields) {
    PutLe(built, f.Offset, f.Width, GetLe(page, f.Offset, f.Width));
  }
  return built;
}

Json PagePatches(const PageKind& kind, const PageHeader& h, ConstBytes page) {
  if (kind.Derived) return Json::object();
  return Patches(page, FromFields(kind, h, page));
}

// Field values and patches of the non-volatile copy where they differ.
void CaptureNvram(ControllerCapture& cc, const PageKind& kind, const PageHeader& h,
                  const PageBuffer& current, Json& entry) {
  PageBuffer nvram;
  if (!VxtConfigReadPage(cc.c, kPageActionReadNvram, kind.Type, kind.Number, 0, &nvram)) {
    cc.Note(std::string(kind.Name) + ": the non-volatile copy could not be read (" + WhyFailed(cc) +
            "); taken to be the current one");
    return;
  }
  Json differs = Json::object();
  for (const FieldKind& f : kind.Fields) {
    if (GetLe(nvram, f.Offset, f.Width) != GetLe(current, f.Offset, f.Width)) {
      differs[f.Name] = FieldValue(f, nvram);
    }
  }
  Json patches = PagePatches(kind, h, nvram);
  if (patches != PagePatches(kind, h, current)) differs["bytes"] = patches;
  if (!differs.empty()) entry["nvram"] = differs;
}

// False only when a required page could not be read.
bool CapturePage(ControllerCapture& cc, const PageKind& kind, PageBuffer* kept) {
  Json& entry = cc.ctl["pages"][kind.Name];
  PageHeader h{};
  PageBuffer page;
  bool read = ReadPageHeader(cc.c, kind.Type, kind.Number, &h) &&
              VxtConfigReadPage(cc.c, kPageActionReadCurrent, kind.Type, kind.Number, 0, &page);
  if (!read) {
    bool lacks = ReplyIocStatus(LastReply(*cc.c)) == kIocStatusInvalidPage &&
                 GetU8(LastReply(*cc.c), 0) == kPageActionHeader;
    std::string why = WhyFailed(cc);
    entry = {{"absent", true}};
    if (lacks) {
      cc.Note(std::string(kind.Name) + ": the controller lacks it");
      return true;
    }
    if (kind.Required) return cc.Fail(std::string(kind.Name) + " could not be read (" + why + ")");
    cc.Note(std::string(kind.Name) + " could not be read (" + why + "); noted as absent");
    return true;
  }
  entry = {{"PageVersion", h.PageVersion}, {"PageLength", h.PageLength}};
  for (const FieldKind& f : kind.Fields) entry[f.Name] = FieldValue(f, page);
  Json patches = PagePatches(kind, h, page);
  if (!patches.empty()) entry["bytes"] = patches;
  if (kind.Writable) CaptureNvram(cc, kind, h, page, entry);
  if (kept) *kept = std::move(page);
  return true;
}

// Instance pages: only whether the controller has them and their header.
bool RecordInstanceHeader(ControllerCapture& cc, const char* name, bool read, int version,
                          int length) {
  Json& entry = cc.ctl["pages"][name];
  if (read) {
    entry = {{"PageVersion", version}, {"PageLength", length}};
    return true;
  }
  entry = {{"absent", true}};
  if (ReplyIocStatus(LastReply(*cc.c)) == kIocStatusInvalidPage) {
    cc.Note(std::string(name) + ": the controller lacks it");
    return true;
  }
  return cc.Fail(std::string(name) + " header could not be read (" + WhyFailed(cc) + ")");
}

bool CaptureInstanceHeader(ControllerCapture& cc, const char* name, uint8_t type, uint8_t number,
                           bool* present) {
  PageHeader h{};
  *present = ReadPageHeader(cc.c, type, number, &h);
  return RecordInstanceHeader(cc, name, *present, h.PageVersion, h.PageLength);
}

bool CaptureExtendedHeader(ControllerCapture& cc, const char* name, uint8_t ext_type,
                           bool* present) {
  ExtendedPageHeader h{};
  *present = ReadExtendedPageHeader(cc.c, ext_type, 0, &h);
  return RecordInstanceHeader(cc, name, *present, h.PageVersion, h.ExtPageLength);
}

}  // namespace

bool CapturePages(ControllerCapture& cc) {
  for (const PageKind& kind : SinglePages()) {
    if (kind.Where == Scope::kScsi && cc.sas) continue;
    PageBuffer* kept = nullptr;
    if (kind.Type == kPageTypeIoc && kind.Number == 2) kept = &cc.ioc2;
    if (kind.Type == kPageTypeIoc && kind.Number == 3) kept = &cc.ioc3;
    if (kind.Type == kPageTypeIoc && kind.Number == 5) kept = &cc.ioc5;
    if (!CapturePage(cc, kind, kept)) return false;
  }
  if (!CaptureInstanceHeader(cc, "RaidVolPg0", kPageTypeRaidVolume, 0, &cc.has_vol_pages) ||
      !CaptureInstanceHeader(cc, "RaidVolPg1", kPageTypeRaidVolume, 1, &cc.has_vol1_pages) ||
      !CaptureInstanceHeader(cc, "RaidPhysDiskPg0", kPageTypeRaidPhysDisk, 0, &cc.has_disk_pages)) {
    return false;
  }
  if (!cc.sas) return true;
  return CaptureExtendedHeader(cc, "SasDevicePg0", kExtPageTypeSasDevice, &cc.has_device_pages) &&
         CaptureExtendedHeader(cc, "SasEnclosurePg0", kExtPageTypeSasEnclosure,
                               &cc.has_enclosure_pages);
}

}  // namespace capture
