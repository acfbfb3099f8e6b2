// Configuration page requests: a header phase, then a data phase sized from
// the header the firmware returned.
#include "vxt/config_page.h"

#include <cstring>

#include "vxt/last_reply.h"
#include "vxt/vxt_assert.h"

namespace {

constexpr size_t kConfigFrameBytes = 40;
constexpr size_t kConfigSgeOffset = 28;
constexpr uint32_t kPageTimeoutSeconds = 10;

// Fields of the configuration frame; the reply carries the page header (and
// the extended length and type) at the same offsets.
constexpr size_t kConfigAction = 0;
constexpr size_t kConfigExtPageLength = 4;
constexpr size_t kConfigExtPageType = 6;
constexpr size_t kConfigPageVersion = 20;
constexpr size_t kConfigPageLength = 21;
constexpr size_t kConfigPageNumber = 22;
constexpr size_t kConfigPageType = 23;
constexpr size_t kConfigPageAddress = 24;

MutableBytes StartConfigRequest(ControllerInfo* c, uint8_t action) {
  PrepareRequest(c, kFunctionConfig, kConfigFrameBytes, kPageTimeoutSeconds, kConfigSgeOffset);
  MutableBytes frame = Frame(c);
  PutU8(frame, kConfigAction, action);
  return frame;
}

// The data phase of a read, once the caller has put the header into the
// frame: the page of `bytes` bytes reads 0xFF until the firmware fills it,
// and is handed over only when the read succeeded.
int ReadPageData(ControllerInfo* c, uint32_t page_address, size_t bytes, PageBuffer* page,
                 RequestStatus* status) {
  page->assign(bytes, 0xFF);
  PutU32(Frame(c), kConfigPageAddress, page_address);
  c->Request.Direction = 3;
  c->Request.DataBuffer = page->data();
  c->Request.DataLength = static_cast<uint32_t>(page->size());
  int read = SendAndCheck(c);
  ReportStatus(*c, status);
  if (!read) page->clear();
  return read;
}

}  // namespace

int ReadPageHeader(ControllerInfo* c, uint8_t page_type, uint8_t page_number, PageHeader* header,
                   RequestStatus* status) {
  MutableBytes frame = StartConfigRequest(c, kPageActionHeader);
  PutU8(frame, kConfigPageNumber, page_number);
  PutU8(frame, kConfigPageType, page_type);
  int read = SendAndCheck(c);
  ReportStatus(*c, status);
  if (!read) return 0;
  ConstBytes reply = LastReply(*c);
  header->PageVersion = GetU8(reply, kConfigPageVersion);
  header->PageLength = GetU8(reply, kConfigPageLength);
  header->PageNumber = GetU8(reply, kConfigPageNumber);
  header->PageType = GetU8(reply, kConfigPageType);
  return 1;
}

PageBuffer BlankPageImage(const PageHeader& header) {
  PageBuffer image(size_t{header.PageLength} * 4, 0);
  PutU8(image, 0, header.PageVersion);
  PutU8(image, 1, header.PageLength);
  PutU8(image, 2, header.PageNumber);
  PutU8(image, 3, header.PageType);
  return image;
}

int VxtConfigReadPage(ControllerInfo* c, uint8_t Action, uint8_t page_type, uint8_t page_number,
                      uint32_t page_address, PageBuffer* page, RequestStatus* status) {
  VXT_ASSERT(Action == 0x01 || Action == 0x05 || Action == 0x06,
             "Action == (0x01) || Action == (0x05) || Action == (0x06)");
  PageHeader header;
  if (!ReadPageHeader(c, page_type, page_number, &header, status)) return 0;
  return VxtConfigReadPageWith(c, Action, header, page_address, page, status);
}

int VxtConfigReadPageWith(ControllerInfo* c, uint8_t Action, const PageHeader& header,
                          uint32_t page_address, PageBuffer* page, RequestStatus* status) {
  VXT_ASSERT(Action == 0x01 || Action == 0x05 || Action == 0x06,
             "Action == (0x01) || Action == (0x05) || Action == (0x06)");
  MutableBytes frame = StartConfigRequest(c, Action);
  PutU8(frame, kConfigPageVersion, header.PageVersion);
  PutU8(frame, kConfigPageLength, header.PageLength);
  PutU8(frame, kConfigPageNumber, header.PageNumber);
  PutU8(frame, kConfigPageType, header.PageType);
  return ReadPageData(c, page_address, size_t{header.PageLength} * 4, page, status);
}

int VxtConfigWritePage(ControllerInfo* c, uint8_t Action, uint32_t page_address,
                       const PageBuffer& page) {
  VXT_ASSERT(Action == 0x02 || Action == 0x04, "Action == (0x02) || Action == (0x04)");
  size_t bytes = size_t{PageLengthWords(page)} * 4;
  // A page shorter than its own header claims is sent only as far as it goes.
  if (bytes > page.size()) bytes = page.size();

  MutableBytes frame = StartConfigRequest(c, Action);
  for (size_t i = 0; i < 4; ++i) PutU8(frame, kConfigPageVersion + i, GetU8(page, i));
  PutU32(frame, kConfigPageAddress, page_address);
  c->Request.Direction = 2;
  c->Request.DataBuffer = const_cast<uint8_t*>(page.data());
  c->Request.DataLength = static_cast<uint32_t>(bytes);
  return SendAndCheck(c);
}

int ReadExtendedPageHeader(ControllerInfo* c, uint8_t ext_page_type, uint8_t page_number,
                           ExtendedPageHeader* header, RequestStatus* status) {
  MutableBytes frame = StartConfigRequest(c, kPageActionHeader);
  PutU8(frame, kConfigExtPageType, ext_page_type);
  PutU8(frame, kConfigPageNumber, page_number);
  PutU8(frame, kConfigPageType, kPageTypeExtended);
  int read = SendAndCheck(c);
  ReportStatus(*c, status);
  if (!read) return 0;
  ConstBytes reply = LastReply(*c);
  header->PageVersion = GetU8(reply, kConfigPageVersion);
  header->PageNumber = GetU8(reply, kConfigPageNumber);
  header->PageType = GetU8(reply, kConfigPageType);
  header->ExtPageLength = GetU16(reply, kConfigExtPageLength);
  header->ExtPageType = GetU8(reply, kConfigExtPageType);
  return 1;
}

int VxtConfigReadExtendedPage(ControllerInfo* c, uint8_t Action, uint8_t ext_page_type,
                              uint8_t page_number, uint32_t page_address, PageBuffer* page,
                              RequestStatus* status) {
  VXT_ASSERT(Action == 0x01 || Action == 0x05 || Action == 0x06,
             "Action == (0x01) || Action == (0x05) || Action == (0x06)");
  ExtendedPageHeader header{};
  if (!ReadExtendedPageHeader(c, ext_page_type, page_number, &header, status)) return 0;
  return VxtConfigReadExtendedPageWith(c, Action, header, page_address, page, status);
}

int VxtConfigReadExtendedPageWith(ControllerInfo* c, uint8_t Action,
                                  const ExtendedPageHeader& header, uint32_t page_address,
                                  PageBuffer* page, RequestStatus* status) {
  VXT_ASSERT(Action == 0x01 || Action == 0x05 || Action == 0x06,
             "Action == (0x01) || Action == (0x05) || Action == (0x06)");
  MutableBytes frame = StartConfigRequest(c, Action);
  PutU16(frame, kConfigExtPageLength, header.ExtPageLength);
  PutU8(frame, kConfigExtPageType, header.ExtPageType);
  PutU8(frame, kConfigPageVersion, header.PageVersion);
  PutU8(frame, kConfigPageNumber, header.PageNumber);
  PutU8(frame, kConfigPageType, header.PageType);
  return ReadPageData(c, page_address, size_t{header.ExtPageLength} * 4, page, status);
}
