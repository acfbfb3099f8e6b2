// Configuration page requests: the header phase and the data phase of a page
// read, page writes, and their extended-page forms.  The typed readers of the
// pages volkit uses are in page_readers.h.
//
// Result convention: 1 success, 0 failure; nothing here prints.
#pragma once

#include <cstdint>
#include <vector>

#include "vxt/pages.h"
#include "vxt/vxt.h"

using PageBuffer = std::vector<uint8_t>;

// Page actions.
inline constexpr uint8_t kPageActionHeader = 0x00;
inline constexpr uint8_t kPageActionReadCurrent = 0x01;
inline constexpr uint8_t kPageActionWriteCurrent = 0x02;
inline constexpr uint8_t kPageActionWriteNvram = 0x04;
inline constexpr uint8_t kPageActionReadDefault = 0x05;
inline constexpr uint8_t kPageActionReadNvram = 0x06;

inline constexpr uint8_t kPageTypeExtended = 0x0F;

struct PageHeader {
  uint8_t PageVersion;
  uint8_t PageLength;  // in 32-bit words
  uint8_t PageNumber;
  uint8_t PageType;
};

struct ExtendedPageHeader {
  uint8_t PageVersion;
  uint8_t Reserved1;
  uint8_t PageNumber;
  uint8_t PageType;
  uint16_t ExtPageLength;  // in 32-bit words
  uint8_t ExtPageType;
  uint8_t Reserved2;
};

// The reads below that take a `status` fill it (when given) with how their
// last request ended: the failed one on failure, so that a caller can tell a
// page the controller lacks (IocStatus kIocStatusInvalidPage) from an error.

inline bool NoSuchPage(const RequestStatus& status) {
  return WasSent(status.Outcome) && status.IocStatus == kIocStatusInvalidPage;
}

// On failure `header` is left untouched.
int ReadPageHeader(ControllerInfo* controller, uint8_t page_type, uint8_t page_number,
                   PageHeader* header, RequestStatus* status = nullptr);

// A zero-filled page image of PageLength x 4 bytes that starts with `header`
// (as far as it fits), for the callers to fill and send.
PageBuffer BlankPageImage(const PageHeader& header);

// On success `page` holds the whole page, header included; when the data
// phase fails it is emptied (a failed header phase leaves it as it was).
int VxtConfigReadPage(ControllerInfo* controller, uint8_t Action, uint8_t page_type,
                      uint8_t page_number, uint32_t page_address, PageBuffer* page,
                      RequestStatus* status = nullptr);

// The data phase of VxtConfigReadPage alone, with a header read before: a
// header serves every instance of its page.
int VxtConfigReadPageWith(ControllerInfo* controller, uint8_t Action, const PageHeader& header,
                          uint32_t page_address, PageBuffer* page, RequestStatus* status = nullptr);

// Writes PageLength x 4 bytes of `page`, using its own first four bytes as the
// header.
int VxtConfigWritePage(ControllerInfo* controller, uint8_t Action, uint32_t page_address,
                       const PageBuffer& page);

int ReadExtendedPageHeader(ControllerInfo* controller, uint8_t ext_page_type, uint8_t page_number,
                           ExtendedPageHeader* header, RequestStatus* status = nullptr);

int VxtConfigReadExtendedPage(ControllerInfo* controller, uint8_t Action, uint8_t ext_page_type,
                              uint8_t page_number, uint32_t page_address, PageBuffer* page,
                              RequestStatus* status = nullptr);

// The data phase of VxtConfigReadExtendedPage alone, with a header read
// before.
int VxtConfigReadExtendedPageWith(ControllerInfo* controller, uint8_t Action,
                                  const ExtendedPageHeader& header, uint32_t page_address,
                                  PageBuffer* page, RequestStatus* status = nullptr);
