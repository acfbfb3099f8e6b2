#include "vxt/page_walk.h"

#include <bitset>
#include <memory>

#include "vxt/config_page.h"
#include "vxt/pages.h"

namespace {

using ReadInstance = std::function<int(uint32_t page_address, PageBuffer* page)>;

int Walk(ControllerInfo* c, const ReadInstance& read, uint16_t (*handle_of)(ConstBytes),
         const std::function<void(ConstBytes)>& visit) {
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint16_t handle = kStartHandle;
  for (;;) {
    PageBuffer page;
    if (!read(SasAddressNextAfter(handle), &page)) {
      return ReplyIocStatus(LastReply(*c)) == kIocStatusInvalidPage;
    }
    handle = handle_of(page);
    if (seen->test(handle)) return 1;
    seen->set(handle);
    visit(ConstBytes(page));
  }
}

}  // namespace

int WalkExtendedPages(ControllerInfo* c, uint8_t ext_page_type, uint16_t (*handle_of)(ConstBytes),
                      const std::function<void(ConstBytes)>& visit) {
  return Walk(
      c,
      [&](uint32_t address, PageBuffer* page) {
        return VxtConfigReadExtendedPage(c, kPageActionReadCurrent, ext_page_type, 0, address,
                                         page);
      },
      handle_of, visit);
}

int WalkExtendedPagesOneHeader(ControllerInfo* c, uint8_t ext_page_type,
                               uint16_t (*handle_of)(ConstBytes),
                               const std::function<void(ConstBytes)>& visit) {
  ExtendedPageHeader header{};
  if (!ReadExtendedPageHeader(c, ext_page_type, 0, &header)) return 0;
  return Walk(
      c,
      [&](uint32_t address, PageBuffer* page) {
        return VxtConfigReadExtendedPageWith(c, kPageActionReadCurrent, header, address, page);
      },
      handle_of, visit);
}
