#include "vxt/page_walk.h"

#include <bitset>
#include <memory>

#include "vxt/config_page.h"
#include "vxt/pages.h"

namespace {

using ReadInstance =
    std::function<int(uint32_t page_address, PageBuffer* page, RequestStatus* status)>;

int Walk(const ReadInstance& read, uint16_t (*handle_of)(ConstBytes),
         const std::function<void(ConstBytes)>& visit, RequestStatus* status) {
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint16_t handle = kStartHandle;
  for (;;) {
    PageBuffer page;
    RequestStatus read_status;
    if (!read(SasAddressNextAfter(handle), &page, &read_status)) {
      if (NoSuchPage(read_status)) return 1;
      if (status != nullptr) *status = read_status;
      return 0;
    }
    handle = handle_of(page);
    if (seen->test(handle)) return 1;
    seen->set(handle);
    visit(ConstBytes(page));
  }
}

}  // namespace

int WalkExtendedPages(ControllerInfo* c, uint8_t ext_page_type, uint16_t (*handle_of)(ConstBytes),
                      const std::function<void(ConstBytes)>& visit, RequestStatus* status) {
  return Walk(
      [&](uint32_t address, PageBuffer* page, RequestStatus* read_status) {
        return VxtConfigReadExtendedPage(c, kPageActionReadCurrent, ext_page_type, 0, address, page,
                                         read_status);
      },
      handle_of, visit, status);
}

int WalkExtendedPagesOneHeader(ControllerInfo* c, uint8_t ext_page_type,
                               uint16_t (*handle_of)(ConstBytes),
                               const std::function<void(ConstBytes)>& visit) {
  ExtendedPageHeader header{};
  if (!ReadExtendedPageHeader(c, ext_page_type, 0, &header)) return 0;
  return Walk(
      [&](uint32_t address, PageBuffer* page, RequestStatus* read_status) {
        return VxtConfigReadExtendedPageWith(c, kPageActionReadCurrent, header, address, page,
                                             read_status);
      },
      handle_of, visit, nullptr);
}
