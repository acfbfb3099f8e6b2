#include "vxt/page_walk.h"

#include <bitset>
#include <memory>

#include "vxt/pages.h"

int WalkExtendedPages(ControllerInfo* c, uint8_t ext_page_type, uint16_t (*handle_of)(ConstBytes),
                      const std::function<void(ConstBytes)>& visit) {
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint16_t handle = kStartHandle;
  for (;;) {
    PageBuffer page;
    if (!VxtConfigReadExtendedPage(c, kPageActionReadCurrent, ext_page_type, 0,
                                   SasAddressNextAfter(handle), &page)) {
      return ReplyIocStatus(LastReply(*c)) == kIocStatusInvalidPage;
    }
    handle = handle_of(page);
    if (seen->test(handle)) return 1;
    seen->set(handle);
    visit(ConstBytes(page));
  }
}
