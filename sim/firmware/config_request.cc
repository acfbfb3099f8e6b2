// Configuration page requests: header reads, page reads of the current or
// non-volatile copy, and page writes.
#include "firmware/controller.h"
#include "firmware/firmware.h"
#include "firmware/layouts.h"
#include "firmware/page_image.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

constexpr uint32_t kConfigSgeWords = 7;

enum ConfigAction : uint8_t {
  kHeader = 0,
  kReadCurrent = 1,
  kWriteCurrent = 2,
  kReadDefault = 5,
  kReadNvram = 6,
  kWriteNvram = 4,
};

struct ConfigFrame {
  uint8_t action, ext_type, version, length, number, type;
  uint16_t ext_length;
  uint32_t address;
};

namespace F = layout::config_frame;

ConfigFrame ParseFrame(const Bytes& f) {
  return {Get8(f, F::kAction),         Get8(f, F::kExtPageType), Get8(f, F::kPageVersion),
          Get8(f, F::kPageLength),     Get8(f, F::kPageNumber),  Get8(f, F::kPageType),
          Get16(f, F::kExtPageLength), Get32(f, F::kPageAddress)};
}

// The reply carries the page header as the firmware has it.
void PutHeader(Bytes& reply, const PageDef& def, const PageHeader& header) {
  Put8(reply, F::kPageVersion, header.version);
  Put8(reply, F::kPageNumber, def.number);
  if (def.extended()) {
    Put16(reply, F::kExtPageLength, header.length_words);
    Put8(reply, F::kExtPageType, def.ext_type);
    Put8(reply, F::kPageType, kExtendedPageType);
  } else {
    Put8(reply, F::kPageLength, header.length_words);
    Put8(reply, F::kPageType, def.type);
  }
}

// A data phase must carry the header exactly as the header read gave it.
bool HeaderMatches(const ConfigFrame& f, const PageDef& def, const PageHeader& header) {
  if (f.version != header.version) return false;
  if (def.extended()) return f.ext_length == header.length_words;
  return f.length == header.length_words;
}

uint16_t ReadPage(const Controller& ctl, const ConfigFrame& f, const PageDef& def,
                  const PageHeader& header, Completion& out) {
  if (!HeaderMatches(f, def, header)) return kStatusConfigInvalidPage;
  Bytes page;
  uint16_t status = BuildPage(ctl, def, f.address, f.action == kReadNvram, page);
  if (status != kStatusSuccess) return status;
  out.data_in = std::move(page);
  return kStatusSuccess;
}

uint16_t WritePage(Controller& ctl, const ConfigFrame& f, const PageDef& def,
                   const PageHeader& header, const Message& msg, Completion& out) {
  if (!def.writable) return kStatusConfigInvalidAction;
  if (!HeaderMatches(f, def, header)) return kStatusConfigInvalidData;
  size_t size = size_t{header.length_words} * 4;
  if (msg.data_out.size() < size) return kStatusConfigInvalidData;
  Bytes image(msg.data_out.begin(), msg.data_out.begin() + static_cast<long>(size));
  if (Get8(image, layout::page_header::kPageNumber) != def.number ||
      Get8(image, layout::page_header::kPageType) != def.type) {
    return kStatusConfigInvalidData;
  }
  if (IndexOf(def) == kIoUnitPg1 && !ctl.runtime.ir_disabled.given) {
    // The IR switch takes effect at the next reset, not at the write.
    ctl.runtime.ir_disabled = IrDisabled(ctl);
  }
  StorePage(ctl, def, f.action == kWriteNvram, image);
  out.changed = true;
  return kStatusSuccess;
}

}  // namespace

void HandleConfig(Controller& ctl, const Message& msg, Completion& out) {
  ConfigFrame f = ParseFrame(msg.frame);
  out.reply = StartReply(msg.frame, F::kReplySize, kStatusSuccess);
  Put8(out.reply, F::kAction, f.action);
  const PageDef* def = FindPage(f.type, f.number, f.ext_type);
  if (!def || !PageAvailable(ctl, *def)) {
    SetIocStatus(out.reply, kStatusConfigInvalidPage);
    return;
  }
  PageHeader header = HeaderOf(ctl, *def);
  PutHeader(out.reply, *def, header);
  if (msg.HasData() && msg.sge_offset != kConfigSgeWords) {
    SetIocStatus(out.reply, kStatusInvalidSgl);
    return;
  }
  uint16_t status = kStatusSuccess;
  switch (f.action) {
    case kHeader:
      break;
    case kReadCurrent:
    case kReadDefault:
    case kReadNvram:
      status = ReadPage(ctl, f, *def, header, out);
      break;
    case kWriteCurrent:
    case kWriteNvram:
      status = WritePage(ctl, f, *def, header, msg, out);
      break;
    default:
      status = kStatusConfigInvalidAction;
      break;
  }
  SetIocStatus(out.reply, status);
}

}  // namespace vxtsim
