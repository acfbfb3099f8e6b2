// Walks of the extended pages the firmware hands out one instance after
// another (SAS devices, enclosures).
#pragma once

#include <cstdint>
#include <functional>

#include "vxt/vxt.h"

// Reads the next-after-handle chain of `ext_page_type` from the first
// instance on, calling `visit` with each page.  The walk ends when the
// firmware has no further instance (IocStatus 0x0022) or hands out a handle
// it gave before, so that such a firmware cannot keep us walking forever.
// 1 when the walk ended so; 0 when a read failed otherwise, with how that
// read ended in `status` when given.
int WalkExtendedPages(ControllerInfo* controller, uint8_t ext_page_type,
                      uint16_t (*handle_of)(ConstBytes),
                      const std::function<void(ConstBytes)>& visit,
                      RequestStatus* status = nullptr);

// The same walk reading the page's header once, before the first instance,
// and reusing it for every instance after.
int WalkExtendedPagesOneHeader(ControllerInfo* controller, uint8_t ext_page_type,
                               uint16_t (*handle_of)(ConstBytes),
                               const std::function<void(ConstBytes)>& visit);
